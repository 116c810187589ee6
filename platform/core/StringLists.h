// String lists of the platform class library: the abstract TStrings with its
// text, name=value and delimited forms and its loading and saving, and the
// TStringList that keeps the strings (sorted or not) with an object each.
#pragma once

#include "platform/core/Persistent.h"

class TStream;
class TStrings;
class TStringList;

// Encoding of text loaded into or saved from string lists and INI files.
// On loading, teDefault detects it: a byte-order mark (UTF-8, UTF-16LE,
// UTF-16BE), else UTF-8 when the bytes are valid UTF-8, else the ANSI code
// page. On saving, teDefault means the encoding the text was loaded in, and
// UTF-8 for text that was never loaded.
enum TTextEncoding : int { teDefault, teUTF8, teUTF16LE, teUTF16BE, teANSI };

// Decodes bytes of a text file; `detected` receives the encoding used. Never
// fails: invalid sequences become U+FFFD.
String DecodeText(const void* data, std::size_t size, TTextEncoding encoding = teDefault,
                  TTextEncoding* detected = nullptr);
// Encodes text, with the encoding's byte-order mark when `withBOM` (none for
// teANSI). teDefault encodes as UTF-8.
RawByteString EncodeText(const String& text, TTextEncoding encoding, bool withBOM);

class TStrings : public TPersistent {
  DECLARE_CLASS(TStrings, TPersistent)
  TStrings() = default;
  ~TStrings() override = default;

  // Access to the strings; index errors raise EStringListError
  // "List index out of bounds (%d)".
  virtual String Get(int index) = 0;
  virtual void Put(int index, const String& s);
  virtual TObject* GetObject(int index);
  virtual void PutObject(int index, TObject* obj);
  virtual int Count() = 0;
  String operator[](int index) { return Get(index); }
  virtual int Capacity();
  virtual void SetCapacity(int newCapacity);

  virtual int Add(const String& s);
  virtual int AddObject(const String& s, TObject* obj);
  void Append(const String& s);
  virtual void AddStrings(TStrings* strings);
  virtual void Insert(int index, const String& s) = 0;
  virtual void InsertObject(int index, const String& s, TObject* obj);
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  virtual void Exchange(int index1, int index2);
  virtual void Move(int curIndex, int newIndex);

  // Searches compare with CompareStrings: case-insensitive in the base.
  virtual int IndexOf(const String& s);
  virtual int IndexOfName(const String& name);
  virtual int IndexOfObject(TObject* obj);

  // name=value lines, split at the first NameValueSeparator.
  String Names(int index);
  String Values(const String& name);
  // An empty value deletes the line of the name.
  void SetValue(const String& name, const String& value);
  String ValueFromIndex(int index);
  void SetValueFromIndex(int index, const String& value);
  Char NameValueSeparator() const { return nameValueSeparator_; }
  void SetNameValueSeparator(Char c) { nameValueSeparator_ = c; }

  // All strings, each followed by LineBreak (CR LF by default). Setting it
  // splits at CR LF, LF or CR; a final line break adds no empty line.
  String Text() { return GetTextStr(); }
  void SetText(const String& text) { SetTextStr(text); }
  const String& LineBreak() const { return lineBreak_; }
  void SetLineBreak(const String& s) { lineBreak_ = s; }

  // The strings joined by Delimiter; a string is put in QuoteChar when it
  // holds the quote, the delimiter, a NUL or (unless StrictDelimiter) a
  // space or control character, and a sole empty string is written as two
  // quotes; quotes inside are doubled. Setting it parses the same form;
  // without StrictDelimiter unquoted spaces separate strings too.
  String DelimitedText();
  void SetDelimitedText(const String& text);
  // DelimitedText with ',' and '"' and no strict delimiter.
  String CommaText();
  void SetCommaText(const String& text);
  Char Delimiter() const { return delimiter_; }
  void SetDelimiter(Char c) { delimiter_ = c; }
  Char QuoteChar() const { return quoteChar_; }
  void SetQuoteChar(Char c) { quoteChar_ = c; }
  bool StrictDelimiter() const { return strictDelimiter_; }
  void SetStrictDelimiter(bool value) { strictDelimiter_ = value; }

  // Changes between BeginUpdate and the matching EndUpdate are reported once.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return updateCount_; }

  void Assign(TPersistent* source) override;
  // Same strings in the same order (case-sensitive).
  bool Equals(TStrings* strings);

  // Loading replaces the strings with the text of the stream from its
  // position to its end (see TTextEncoding); Encoding() remembers what was
  // found. Saving writes the text with a byte-order mark when WriteBOM.
  virtual void LoadFromStream(TStream* stream, TTextEncoding encoding = teDefault);
  virtual void SaveToStream(TStream* stream, TTextEncoding encoding = teDefault);
  virtual void LoadFromFile(const String& fileName, TTextEncoding encoding = teDefault);
  virtual void SaveToFile(const String& fileName, TTextEncoding encoding = teDefault);
  TTextEncoding Encoding() const { return encoding_; }
  bool WriteBOM() const { return writeBOM_; }
  void SetWriteBOM(bool value) { writeBOM_ = value; }

 protected:
  [[noreturn]] static void Error(const String& msg, int data);
  virtual String GetTextStr();
  virtual void SetTextStr(const String& text);
  // Called with true by the first BeginUpdate and false by the last EndUpdate.
  virtual void SetUpdateState(bool updating);
  virtual int CompareStrings(const String& s1, const String& s2);
  // Streams the strings as the defined property "Strings" of the component stream.
  void DefineProperties(TFiler* filer) override;
  // The name part of a name=value string (empty when it has no separator).
  String ExtractName(const String& s);

 private:
  String lineBreak_ = L"\r\n";
  Char nameValueSeparator_ = L'=';
  Char delimiter_ = L',';
  Char quoteChar_ = L'"';
  bool strictDelimiter_ = false;
  bool writeBOM_ = true;
  TTextEncoding encoding_ = teDefault;
  int updateCount_ = 0;

  friend void StringsDefineProperties(TStrings* self, TFiler* filer);
};

enum TDuplicates : int { dupIgnore, dupAccept, dupError };

// Sort order of two strings of the list by index: negative, zero or positive.
using TStringListSortCompare = int (*)(TStringList* list, int index1, int index2);

class TStringList : public TStrings {
  DECLARE_CLASS(TStringList, TStrings)
  TStringList() = default;
  explicit TStringList(bool ownsObjects) : ownsObjects_(ownsObjects) {}
  ~TStringList() override;

  String Get(int index) override;
  void Put(int index, const String& s) override;
  TObject* GetObject(int index) override;
  void PutObject(int index, TObject* obj) override;
  int Count() override { return static_cast<int>(items_.size()); }
  int Capacity() override { return static_cast<int>(items_.capacity()); }
  void SetCapacity(int newCapacity) override;

  // In a sorted list Add places the string by sort order and applies Duplicates.
  int Add(const String& s) override;
  int AddObject(const String& s, TObject* obj) override;
  // Raise EStringListError "Operation not allowed on sorted list" when Sorted.
  void Insert(int index, const String& s) override;
  void InsertObject(int index, const String& s, TObject* obj) override;
  void Delete(int index) override;
  void Clear() override;
  void Exchange(int index1, int index2) override;
  // Keeps the object with its string (an owned object is not freed).
  void Move(int curIndex, int newIndex) override;
  int IndexOf(const String& s) override;

  // Binary search of a sorted list: true when found; `index` is the position
  // of the first match, or where the string would be inserted.
  virtual bool Find(const String& s, int& index);
  virtual void Sort();
  virtual void CustomSort(TStringListSortCompare compare);

  bool Sorted() const { return sorted_; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return duplicates_; }
  void SetDuplicates(TDuplicates value) { duplicates_ = value; }
  bool CaseSensitive() const { return caseSensitive_; }
  void SetCaseSensitive(bool value);
  // The list frees its objects (TObject::Free) when they leave it.
  bool OwnsObjects() const { return ownsObjects_; }
  void SetOwnsObjects(bool value) { ownsObjects_ = value; }

  // Fired before and after every change, except while updating: then once,
  // by the last EndUpdate.
  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool updating) override;
  // Locale comparison, case-insensitive unless CaseSensitive.
  int CompareStrings(const String& s1, const String& s2) override;
  // Inserts without the sorted check and with notification.
  virtual void InsertItem(int index, const String& s, TObject* obj);

 private:
  struct Item {
    String Str;
    TObject* Obj = nullptr;
  };
  void CheckIndex(int index) const;
  void QuickSortBy(TStringListSortCompare compare);
  std::vector<Item> items_;
  TDuplicates duplicates_ = dupIgnore;
  bool sorted_ = false;
  bool caseSensitive_ = false;
  bool ownsObjects_ = false;
};
