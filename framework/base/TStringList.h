#pragma once

#include <string>
#include <vector>

#include "framework/base/Delegate.h"
#include "framework/base/TObject.h"

class TStream;

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an optional object (not owned). Sorted lists keep their order on
// Add and refuse Insert; comparisons ignore ASCII case unless CaseSensitive is set.
class TStringList : public TObject {
public:
  TStringList() = default;
  TStringList(const TStringList& other);
  TStringList& operator=(const TStringList& other);

  int Count() const { return static_cast<int>(FItems.size()); }
  const std::string& Strings(int index) const;
  const std::string& operator[](int index) const { return Strings(index); }
  void SetStrings(int index, const std::string& text);
  TObject* Objects(int index) const;
  void SetObjects(int index, TObject* object);

  int Add(const std::string& text);
  int AddObject(const std::string& text, TObject* object);
  void AddStrings(const TStringList& other);
  void Insert(int index, const std::string& text);
  void InsertObject(int index, const std::string& text, TObject* object);
  void Delete(int index);
  void Exchange(int index1, int index2);
  void Clear();
  int IndexOf(const std::string& text) const;
  int IndexOfObject(const TObject* object) const;
  // Sorted lists only: true when found; index is where it is or where it would go.
  bool Find(const std::string& text, int& index) const;
  void Sort();

  bool Sorted() const { return FSorted; }
  void SetSorted(bool value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates value) { FDuplicates = value; }
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool value);

  // Lines joined by CR LF (each line ends with one); reading splits at CR LF, LF or CR.
  std::string Text() const;
  void SetText(const std::string& text);
  // Comma-separated, items with blanks, commas or quotes in double quotes (quotes doubled).
  std::string CommaText() const;
  void SetCommaText(const std::string& text);

  // "name=value" items.
  std::string Names(int index) const;
  std::string ValueFromIndex(int index) const;
  std::string Values(const std::string& name) const;
  // An empty value removes the item, as the value lists of this framework do.
  void SetValues(const std::string& name, const std::string& value);
  int IndexOfName(const std::string& name) const;

  void LoadFromFile(const std::string& fileName);
  void SaveToFile(const std::string& fileName) const;
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream) const;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate();
  const TNotifyEvent& OnChange() const { return FOnChange; }
  void SetOnChange(const TNotifyEvent& handler) { FOnChange = handler; }

private:
  struct TItem {
    std::string Text;
    TObject* Object = nullptr;
  };
  int Compare(const std::string& a, const std::string& b) const;
  void CheckIndex(int index) const;
  void Changed();

  std::vector<TItem> FItems;
  bool FSorted = false;
  bool FCaseSensitive = false;
  TDuplicates FDuplicates = TDuplicates::dupIgnore;
  int FUpdateCount = 0;
  TNotifyEvent FOnChange;
};
