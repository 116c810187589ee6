#include "platform/WinApi.h"
#include "platform/core/StringLists.h"
#include "platform/core/Exceptions.h"
#include "platform/core/Streams.h"

#include <climits>
#include <memory>

BEGIN_CLASS(TStrings, TPersistent, nullptr)
END_CLASS
IMPLEMENT_CLASS(TStringList, TStrings, (ConstructPlain<TStringList>))

namespace {

const Char kListIndexError[] = L"List index out of bounds (%d)";
const Char kListCapacityError[] = L"List capacity out of bounds (%d)";
const Char kSortedListError[] = L"Operation not allowed on sorted list";
const Char kDuplicateString[] = L"String list does not allow duplicates";

// Stable merge sort of indexes that stays inside its buffers whatever the
// comparison answers: CustomSort hands the order to caller code.
template <class Less>
void MergeSortIndexes(std::vector<int>& v, Less less) {
  const std::size_t n = v.size();
  std::vector<int> tmp(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      const std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t a = lo, b = mid, out = lo;
      while (a < mid && b < hi) tmp[out++] = less(v[b], v[a]) ? v[b++] : v[a++];
      while (a < mid) tmp[out++] = v[a++];
      while (b < hi) tmp[out++] = v[b++];
    }
    v.swap(tmp);
  }
}

int LocaleCompare(const String& a, const String& b, DWORD flags) {
  const int r = CompareStringW(LOCALE_USER_DEFAULT, flags, a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size()));
  if (r == 0) return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
  return r - CSTR_EQUAL;
}

bool IsValidUtf8(const Byte* p, std::size_t n) {
  if (n == 0) return true;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(p), static_cast<int>(n),
                             nullptr, 0) > 0;
}

String FromCodePage(UINT cp, const Byte* p, std::size_t n) {
  if (n == 0) return String();
  const char* src = reinterpret_cast<const char*>(p);
  const int len = MultiByteToWideChar(cp, 0, src, static_cast<int>(n), nullptr, 0);
  if (len <= 0) return String();
  String out(static_cast<std::size_t>(len), L'\0');
  MultiByteToWideChar(cp, 0, src, static_cast<int>(n), out.data(), len);
  return out;
}

RawByteString ToCodePage(UINT cp, const String& s) {
  if (s.empty()) return RawByteString();
  const int len = WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  if (len <= 0) return RawByteString();
  RawByteString out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), len, nullptr, nullptr);
  return out;
}

String FromUtf16(const Byte* p, std::size_t n, bool bigEndian) {
  String out;
  out.reserve(n / 2 + 1);
  for (std::size_t i = 0; i + 1 < n; i += 2)
    out.push_back(bigEndian ? static_cast<Char>((p[i] << 8) | p[i + 1]) : static_cast<Char>(p[i] | (p[i + 1] << 8)));
  if (n % 2) out.push_back(L'\xFFFD');
  return out;
}

const Byte kBomUtf8[] = {0xEF, 0xBB, 0xBF};
const Byte kBomUtf16LE[] = {0xFF, 0xFE};
const Byte kBomUtf16BE[] = {0xFE, 0xFF};

bool StartsWith(const Byte* p, std::size_t n, const Byte* bom, std::size_t bomSize) {
  return n >= bomSize && std::equal(bom, bom + bomSize, p);
}

}  // namespace

// ---------------------------------------------------------------------------
// Text encodings
// ---------------------------------------------------------------------------

String DecodeText(const void* data, std::size_t size, TTextEncoding encoding, TTextEncoding* detected) {
  const Byte* p = static_cast<const Byte*>(data);
  if (size > static_cast<std::size_t>(INT_MAX)) throw EStreamError(L"Text too large to decode");
  TTextEncoding found = encoding;
  std::size_t skip = 0;
  if (StartsWith(p, size, kBomUtf8, 3)) {
    if (encoding == teDefault || encoding == teUTF8) found = teUTF8, skip = 3;
  } else if (StartsWith(p, size, kBomUtf16LE, 2)) {
    if (encoding == teDefault || encoding == teUTF16LE) found = teUTF16LE, skip = 2;
  } else if (StartsWith(p, size, kBomUtf16BE, 2)) {
    if (encoding == teDefault || encoding == teUTF16BE) found = teUTF16BE, skip = 2;
  }
  p += skip;
  size -= skip;
  if (found == teDefault) found = IsValidUtf8(p, size) ? teUTF8 : teANSI;
  if (detected) *detected = found;
  switch (found) {
    case teUTF16LE: return FromUtf16(p, size, false);
    case teUTF16BE: return FromUtf16(p, size, true);
    case teANSI: return FromCodePage(CP_ACP, p, size);
    default: return FromCodePage(CP_UTF8, p, size);
  }
}

RawByteString EncodeText(const String& text, TTextEncoding encoding, bool withBOM) {
  // The code-page conversions count in int: a longer text would be cut short.
  if (text.size() > static_cast<std::size_t>(INT_MAX)) throw EStreamError(L"Text too large to encode");
  RawByteString out;
  switch (encoding) {
    case teUTF16LE:
    case teUTF16BE: {
      const bool be = encoding == teUTF16BE;
      if (withBOM) out.append(reinterpret_cast<const char*>(be ? kBomUtf16BE : kBomUtf16LE), 2);
      out.reserve(out.size() + text.size() * 2);
      for (Char c : text) {
        const char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
        out.push_back(be ? hi : lo);
        out.push_back(be ? lo : hi);
      }
      return out;
    }
    case teANSI: return ToCodePage(CP_ACP, text);
    default:
      if (withBOM) out.append(reinterpret_cast<const char*>(kBomUtf8), 3);
      out += ToCodePage(CP_UTF8, text);
      return out;
  }
}

// ---------------------------------------------------------------------------
// TStrings
// ---------------------------------------------------------------------------

void TStrings::Error(const String& msg, int data) {
  String text = msg;
  const auto at = text.find(L"%d");
  if (at != String::npos) text.replace(at, 2, std::to_wstring(data));
  throw EStringListError(text);
}

void TStrings::Put(int index, const String& s) {
  TObject* obj = GetObject(index);
  BeginUpdate();
  try {
    Delete(index);
    InsertObject(index, s, obj);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TObject* TStrings::GetObject(int) { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

int TStrings::Capacity() { return Count(); }

void TStrings::SetCapacity(int) {}

int TStrings::Add(const String& s) {
  const int index = Count();
  Insert(index, s);
  return index;
}

int TStrings::AddObject(const String& s, TObject* obj) {
  const int index = Add(s);
  PutObject(index, obj);
  return index;
}

void TStrings::Append(const String& s) { Add(s); }

void TStrings::AddStrings(TStrings* strings) {
  if (!strings) return;
  BeginUpdate();
  try {
    // Count first: adding a list to itself copies it once.
    const int n = strings->Count();
    for (int i = 0; i < n; ++i) AddObject(strings->Get(i), strings->GetObject(i));
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::InsertObject(int index, const String& s, TObject* obj) {
  Insert(index, s);
  PutObject(index, obj);
}

void TStrings::Exchange(int index1, int index2) {
  BeginUpdate();
  try {
    const String s1 = Get(index1);
    TObject* o1 = GetObject(index1);
    Put(index1, Get(index2));
    PutObject(index1, GetObject(index2));
    Put(index2, s1);
    PutObject(index2, o1);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  BeginUpdate();
  try {
    const String s = Get(curIndex);
    TObject* obj = GetObject(curIndex);
    Delete(curIndex);
    InsertObject(newIndex, s, obj);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

int TStrings::IndexOf(const String& s) {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), s) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const String& name) {
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    const String s = Get(i);
    const auto sep = s.find(nameValueSeparator_);
    if (sep != String::npos && CompareStrings(s.substr(0, sep), name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* obj) {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == obj) return i;
  return -1;
}

String TStrings::ExtractName(const String& s) {
  const auto sep = s.find(nameValueSeparator_);
  return sep == String::npos ? String() : s.substr(0, sep);
}

String TStrings::Names(int index) { return ExtractName(Get(index)); }

String TStrings::Values(const String& name) {
  const int i = IndexOfName(name);
  return i < 0 ? String() : ValueFromIndex(i);
}

void TStrings::SetValue(const String& name, const String& value) {
  int i = IndexOfName(name);
  if (!value.empty()) {
    if (i < 0) i = Add(String());
    Put(i, name + nameValueSeparator_ + value);
  } else if (i >= 0) {
    Delete(i);
  }
}

String TStrings::ValueFromIndex(int index) {
  if (index < 0) return String();
  const String s = Get(index);
  const auto sep = s.find(nameValueSeparator_);
  return sep == String::npos ? String() : s.substr(sep + 1);
}

void TStrings::SetValueFromIndex(int index, const String& value) {
  if (!value.empty()) {
    if (index < 0) index = Add(String());
    Put(index, Names(index) + nameValueSeparator_ + value);
  } else if (index >= 0) {
    Delete(index);
  }
}

String TStrings::GetTextStr() {
  String out;
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    out += Get(i);
    out += lineBreak_;
  }
  return out;
}

void TStrings::SetTextStr(const String& text) {
  BeginUpdate();
  try {
    Clear();
    const std::size_t n = text.size();
    std::size_t start = 0;
    if (lineBreak_ == L"\r\n" || lineBreak_.empty()) {
      // The usual line break reads every line end: CR LF, LF and CR.
      while (start < n) {
        std::size_t end = start;
        while (end < n && text[end] != L'\r' && text[end] != L'\n') ++end;
        Add(text.substr(start, end - start));
        if (end < n && text[end] == L'\r') ++end;
        if (end < n && text[end] == L'\n') ++end;
        start = end;
      }
    } else {
      while (start < n) {
        const auto end = text.find(lineBreak_, start);
        if (end == String::npos) {
          Add(text.substr(start));
          break;
        }
        Add(text.substr(start, end - start));
        start = end + lineBreak_.size();
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::DelimitedText() {
  const int n = Count();
  if (n == 1 && Get(0).empty()) return String(2, quoteChar_);
  String out;
  for (int i = 0; i < n; ++i) {
    String s = Get(i);
    bool quote = false;
    for (Char c : s) {
      if (c == L'\0' || c == quoteChar_ || c == delimiter_ || (!strictDelimiter_ && c <= L' ')) {
        quote = true;
        break;
      }
    }
    if (quote) {
      String q(1, quoteChar_);
      for (Char c : s) {
        q.push_back(c);
        if (c == quoteChar_) q.push_back(c);
      }
      q.push_back(quoteChar_);
      s.swap(q);
    }
    if (i > 0) out.push_back(delimiter_);
    out += s;
  }
  return out;
}

void TStrings::SetDelimitedText(const String& text) {
  const std::size_t n = text.size();
  auto isBlank = [this](Char c) { return !strictDelimiter_ && c <= L' '; };
  BeginUpdate();
  try {
    Clear();
    std::size_t p = 0;
    while (p < n && isBlank(text[p])) ++p;
    while (p < n) {
      String s;
      if (text[p] == quoteChar_) {
        // Quoted: doubled quotes stand for one; an unterminated quote runs
        // to the end of the text.
        ++p;
        while (p < n) {
          if (text[p] == quoteChar_) {
            if (p + 1 < n && text[p + 1] == quoteChar_) {
              s.push_back(quoteChar_);
              p += 2;
              continue;
            }
            ++p;
            break;
          }
          s.push_back(text[p++]);
        }
      } else {
        const std::size_t start = p;
        while (p < n && text[p] != delimiter_ && !(!strictDelimiter_ && text[p] <= L' ')) ++p;
        s = text.substr(start, p - start);
      }
      Add(s);
      while (p < n && isBlank(text[p])) ++p;
      if (p < n && text[p] == delimiter_) {
        if (p + 1 == n) Add(String());
        ++p;
        while (p < n && isBlank(text[p])) ++p;
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

String TStrings::CommaText() {
  const Char d = delimiter_, q = quoteChar_;
  const bool strict = strictDelimiter_;
  delimiter_ = L',';
  quoteChar_ = L'"';
  strictDelimiter_ = false;
  String result;
  try {
    result = DelimitedText();
  } catch (...) {
    delimiter_ = d, quoteChar_ = q, strictDelimiter_ = strict;
    throw;
  }
  delimiter_ = d, quoteChar_ = q, strictDelimiter_ = strict;
  return result;
}

void TStrings::SetCommaText(const String& text) {
  const Char d = delimiter_, q = quoteChar_;
  const bool strict = strictDelimiter_;
  delimiter_ = L',';
  quoteChar_ = L'"';
  strictDelimiter_ = false;
  try {
    SetDelimitedText(text);
  } catch (...) {
    delimiter_ = d, quoteChar_ = q, strictDelimiter_ = strict;
    throw;
  }
  delimiter_ = d, quoteChar_ = q, strictDelimiter_ = strict;
}

void TStrings::BeginUpdate() {
  if (updateCount_ == 0) SetUpdateState(true);
  ++updateCount_;
}

void TStrings::EndUpdate() {
  // An unmatched EndUpdate is ignored rather than leaving the count negative,
  // which would silence every later change.
  if (updateCount_ <= 0) return;
  --updateCount_;
  if (updateCount_ == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const String& s1, const String& s2) { return LocaleCompare(s1, s2, NORM_IGNORECASE); }

void TStrings::Assign(TPersistent* source) {
  TStrings* src = dynamic_cast<TStrings*>(source);
  if (!src) {
    TPersistent::Assign(source);
    return;
  }
  if (src == this) return;
  BeginUpdate();
  try {
    Clear();
    lineBreak_ = src->lineBreak_;
    nameValueSeparator_ = src->nameValueSeparator_;
    delimiter_ = src->delimiter_;
    quoteChar_ = src->quoteChar_;
    strictDelimiter_ = src->strictDelimiter_;
    writeBOM_ = src->writeBOM_;
    encoding_ = src->encoding_;
    AddStrings(src);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

bool TStrings::Equals(TStrings* strings) {
  if (!strings) return false;
  const int n = Count();
  if (n != strings->Count()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != strings->Get(i)) return false;
  return true;
}

void TStrings::LoadFromStream(TStream* stream, TTextEncoding encoding) {
  const Int64 remaining = stream->Size() - stream->Position();
  if (remaining > INT_MAX) throw EStreamError(L"Stream too large to load as text");
  std::string bytes(static_cast<std::size_t>(remaining > 0 ? remaining : 0), '\0');
  if (!bytes.empty()) stream->ReadBuffer(bytes.data(), static_cast<int>(bytes.size()));
  TTextEncoding found = teDefault;
  const String text = DecodeText(bytes.data(), bytes.size(), encoding, &found);
  bytes.clear();
  bytes.shrink_to_fit();
  BeginUpdate();
  try {
    SetTextStr(text);
    encoding_ = found;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TStrings::SaveToStream(TStream* stream, TTextEncoding encoding) {
  if (encoding == teDefault) encoding = encoding_ == teDefault ? teUTF8 : encoding_;
  const RawByteString bytes = EncodeText(GetTextStr(), encoding, writeBOM_);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw EStreamError(L"Text too large to save");
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

void TStrings::LoadFromFile(const String& fileName, TTextEncoding encoding) {
  std::unique_ptr<TFileStream, void (*)(TFileStream*)> stream(Make<TFileStream>(fileName, fmOpenRead | fmShareDenyWrite),
                                                              [](TFileStream* s) { TObject::Free(s); });
  LoadFromStream(stream.get(), encoding);
}

void TStrings::SaveToFile(const String& fileName, TTextEncoding encoding) {
  // Encode before the file is truncated: a failure leaves the old file whole.
  if (encoding == teDefault) encoding = encoding_ == teDefault ? teUTF8 : encoding_;
  const RawByteString bytes = EncodeText(GetTextStr(), encoding, writeBOM_);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw EStreamError(L"Text too large to save");
  std::unique_ptr<TFileStream, void (*)(TFileStream*)> stream(Make<TFileStream>(fileName, fmCreate),
                                                              [](TFileStream* s) { TObject::Free(s); });
  if (!bytes.empty()) stream->WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------------------
// TStringList
// ---------------------------------------------------------------------------

TStringList::~TStringList() {
  // Nobody is told about the strings leaving with the list.
  OnChange = nullptr;
  OnChanging = nullptr;
  if (ownsObjects_)
    for (Item& item : items_) FreeAndNil(item.Obj);
}

void TStringList::CheckIndex(int index) const {
  if (index < 0 || index >= static_cast<int>(items_.size())) Error(kListIndexError, index);
}

String TStringList::Get(int index) {
  CheckIndex(index);
  return items_[index].Str;
}

void TStringList::Put(int index, const String& s) {
  if (sorted_) Error(kSortedListError, 0);
  CheckIndex(index);
  Changing();
  items_[index].Str = s;
  Changed();
}

TObject* TStringList::GetObject(int index) {
  CheckIndex(index);
  return items_[index].Obj;
}

void TStringList::PutObject(int index, TObject* obj) {
  CheckIndex(index);
  Changing();
  TObject* old = items_[index].Obj;
  items_[index].Obj = obj;
  // An owned object that is replaced would otherwise be lost.
  if (ownsObjects_ && old != obj) TObject::Free(old);
  Changed();
}

void TStringList::SetCapacity(int newCapacity) {
  if (newCapacity < Count()) Error(kListCapacityError, newCapacity);
  items_.reserve(newCapacity);
}

int TStringList::Add(const String& s) { return AddObject(s, nullptr); }

int TStringList::AddObject(const String& s, TObject* obj) {
  int index = Count();
  if (sorted_ && Find(s, index)) {
    switch (duplicates_) {
      case dupIgnore: return index;
      case dupError: Error(kDuplicateString, 0);
      case dupAccept: break;
    }
  }
  InsertItem(index, s, obj);
  return index;
}

void TStringList::Insert(int index, const String& s) { InsertObject(index, s, nullptr); }

void TStringList::InsertObject(int index, const String& s, TObject* obj) {
  if (sorted_) Error(kSortedListError, 0);
  if (index < 0 || index > Count()) Error(kListIndexError, index);
  InsertItem(index, s, obj);
}

void TStringList::InsertItem(int index, const String& s, TObject* obj) {
  Changing();
  items_.insert(items_.begin() + index, Item{s, obj});
  Changed();
}

void TStringList::Delete(int index) {
  CheckIndex(index);
  Changing();
  TObject* obj = items_[index].Obj;
  items_.erase(items_.begin() + index);
  if (ownsObjects_) TObject::Free(obj);
  Changed();
}

void TStringList::Clear() {
  if (items_.empty()) return;
  Changing();
  std::vector<Item> old;
  old.swap(items_);
  if (ownsObjects_)
    for (Item& item : old) FreeAndNil(item.Obj);
  Changed();
}

void TStringList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  Changing();
  std::swap(items_[index1], items_[index2]);
  Changed();
}

void TStringList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  if (sorted_) Error(kSortedListError, 0);
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  Changing();
  Item item = std::move(items_[curIndex]);
  items_.erase(items_.begin() + curIndex);
  items_.insert(items_.begin() + newIndex, std::move(item));
  Changed();
}

int TStringList::IndexOf(const String& s) {
  if (!sorted_) return TStrings::IndexOf(s);
  int index;
  return Find(s, index) ? index : -1;
}

bool TStringList::Find(const String& s, int& index) {
  bool found = false;
  int lo = 0, hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int c = CompareStrings(items_[mid].Str, s);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (duplicates_ != dupAccept) lo = mid;
      }
    }
  }
  index = lo;
  return found;
}

void TStringList::QuickSortBy(TStringListSortCompare compare) {
  std::vector<int> order(items_.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  // The comparison reads the list by index, so the list stays as it is until
  // the order is known.
  MergeSortIndexes(order, [this, compare](int a, int b) { return compare(this, a, b) < 0; });
  std::vector<Item> sorted;
  sorted.reserve(items_.size());
  for (int i : order) sorted.push_back(std::move(items_[i]));
  items_.swap(sorted);
}

void TStringList::Sort() {
  CustomSort([](TStringList* list, int a, int b) {
    return list->CompareStrings(list->items_[a].Str, list->items_[b].Str);
  });
}

void TStringList::CustomSort(TStringListSortCompare compare) {
  if (sorted_ || Count() < 2 || !compare) return;
  Changing();
  QuickSortBy(compare);
  Changed();
}

void TStringList::SetSorted(bool value) {
  if (sorted_ == value) return;
  if (value) Sort();
  sorted_ = value;
}

void TStringList::SetCaseSensitive(bool value) {
  if (caseSensitive_ == value) return;
  caseSensitive_ = value;
  if (sorted_) {
    // The order depends on the comparison: sort again under the new one.
    sorted_ = false;
    Sort();
    sorted_ = true;
  }
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange.Assigned()) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging.Assigned()) OnChanging(this);
}

void TStringList::SetUpdateState(bool updating) {
  if (updating)
    Changing();
  else
    Changed();
}

int TStringList::CompareStrings(const String& s1, const String& s2) {
  return LocaleCompare(s1, s2, caseSensitive_ ? 0 : NORM_IGNORECASE);
}
