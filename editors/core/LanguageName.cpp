#include "editors/core/LanguageName.h"

#include <utility>

namespace {

const std::pair<uint32_t, const char*> kNames[] = {
    {1, "US English"},
    {2, "Arabic"},
    {3, "English"},
    {4, "Complex Chinese"},
    {5, "Chinese Simple"},
    {6, "French"},
    {7, "German"},
    {8, "Hebrew"},
    {9, "Italian"},
    {10, "Spanish"},
    {13, "Canadian French"},
    {14, "American Spanish"},
    {16, "Bulgarian"},
    {17, "Croatian"},
    {18, "Czech"},
    {19, "Danish"},
    {20, "Dutch"},
    {21, "Estonian"},
    {22, "Finnish"},
    {23, "Greek"},
    {24, "Hungarian"},
    {27, "Latvian"},
    {28, "Lithuanian"},
    {30, "Norwegian"},
    {31, "Polish"},
    {32, "Portuguese"},
    {34, "Romanian"},
    {35, "Russian"},
    {40, "Turkish"},
    {41, "Ukrainian"},
    {42, "Brazilian Portuguese"},
    {43, "Swedish"},
};

}  // namespace

std::string LanguageName(uint32_t id) {
  for (const auto& [key, name] : kNames) {
    if (key == id) return name;
  }
  return "Unknown";
}
