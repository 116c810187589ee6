// Conversion between the binary component stream ("TPF0") and its text form.
//
// Both directions work on the raw value structure: no class is looked up and
// no object is created, so any well-formed definition converts, whatever
// classes it names. Each call converts one component (with its children),
// starting at the input's position; the binary reader leaves the input
// positioned just after the component.
//
// Text form, as written (the reader also accepts the variants noted):
//
//   object Name: TClass            (`inherited` / `inline` for the prefix
//     Prop = value                  flags; `object TClass` for an unnamed
//     Font.Name = 'Tahoma'          component; ` [n]` after the class name
//     object Child: TChild [2]      for a child position)
//     end
//   end
//
// Values:
//   integers   decimal, stored with the smallest tag that holds them
//              (vaInt8/16/32/64); `$FF` hexadecimal accepted on input.
//   floats     the shortest decimal that converts back to the same bits,
//              always with a '.' in the mantissa and an `E` exponent where
//              that is shorter. The tag is kept by a suffix:
//                1.5     vaExtended (no suffix)
//                1.5s    vaSingle
//                1.5f    vaDouble
//                1.5d    vaDate
//                1.5c    vaCurrency, written exactly (at most 4 decimals)
//              Suffixes are accepted in either case. Values that have no
//              decimal form (infinities, NaNs, x87 encodings that are not
//              numbers) are refused with EReadError instead of being
//              written as text that would not read back.
//   strings    runs of printable ASCII quoted with '' for a quote, every other
//              UTF-16 unit as #nnnn (decimal); long strings continue with
//              ` +` on the next line. On input, #$hex codes, non-ASCII
//              characters inside quotes and any mix of the two are accepted.
//              Read text chooses the tag: vaString for pure ASCII up to 255
//              units, vaLString for longer ASCII, vaWString as soon as one
//              unit is outside ASCII.
//   others     False / True / nil / Null; identifiers (dots allowed) for
//              vaIdent; [a, b] sets; {hex} binary (32 bytes a line); (...)
//              lists, one item a line; <item ... end> collections.
//   collection items with an order index are written `item [n]`.
//
// Property kinds take these values: a character property is a one-character
// string ('*', #9), a variant property the value of its kind (42, 2.25f,
// 1.5s, 12.5c, 45000.75d for a date, 'text', True, Null, a list for an array).
//
// Binary -> text -> binary reproduces the bytes of any stream this writer or
// the text reader produces. Other streams come back normalized, with the same
// meaning: integers in their smallest tag, vaUTF8String and vaWString as the
// text reader chooses (the text form cannot tell them apart), vaString /
// vaLString with non-ASCII ANSI bytes as vaWString (decoded with the system
// code page), a vaIdent spelled False/True/nil/Null as that tag, and an empty
// prefix byte ($F0) dropped. A component flagged both inherited and inline,
// or with unknown flag bits, has no text form and is refused; so are class
// names longer than 239 UTF-8 bytes, whose length byte would read as a prefix.
//
// Errors: bad text raises EParserError "Line N: <message>"; a bad binary
// stream raises EReadError "... at offset N" (offset from the start of the
// input stream). Every length is checked against the bytes that remain and
// nesting (components, lists, collections) is limited to MaxStreamNesting.
// The output stream is written once, after the whole input converted.
#pragma once

class TStream;

void ObjectTextToBinary(TStream* input, TStream* output);
void ObjectBinaryToText(TStream* input, TStream* output);
