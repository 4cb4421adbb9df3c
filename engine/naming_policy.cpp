#include "engine/naming_policy.h"

namespace {

// The first item for any index outside the list's count.
int16_t ItemOf(int16_t stored, int16_t count) { return stored >= 0 && stored < count ? stored : 0; }

}  // namespace

ForbiddenCharacterPolicy ForbiddenCharacterPolicyOf(int16_t stored) {
  return static_cast<ForbiddenCharacterPolicy>(ItemOf(stored, 3));
}

EmptyFieldPolicy EmptyFieldPolicyOf(int16_t stored) { return static_cast<EmptyFieldPolicy>(ItemOf(stored, 3)); }

SameNamePolicy SameNamePolicyOf(int16_t stored) { return static_cast<SameNamePolicy>(ItemOf(stored, 2)); }

std::wstring TrimNameEnds(const std::wstring& name) {
  const wchar_t* kLeftovers = L" -_";
  size_t first = name.find_first_not_of(kLeftovers);
  if (first == std::wstring::npos) return L"";
  size_t last = name.find_last_not_of(kLeftovers);
  return name.substr(first, last - first + 1);
}
