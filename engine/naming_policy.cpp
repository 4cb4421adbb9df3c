#include "engine/naming_policy.h"

#include "engine/windows_names.h"

namespace {

// The first item for any index outside the list's count.
int ItemOf(int stored, int count) { return stored >= 0 && stored < count ? stored : 0; }

}  // namespace

ForbiddenCharacterPolicy ForbiddenCharacterPolicyOf(int stored) {
  return static_cast<ForbiddenCharacterPolicy>(ItemOf(stored, 3));
}

EmptyFieldPolicy EmptyFieldPolicyOf(int stored) {
  return static_cast<EmptyFieldPolicy>(ItemOf(stored, 3));
}

SameNamePolicy SameNamePolicyOf(int stored) {
  return static_cast<SameNamePolicy>(ItemOf(stored, 2));
}

NamingPolicies NamingPoliciesFrom(const Settings& settings) {
  return {ForbiddenCharacterPolicyOf(settings.forbiddenCharacterAction),
          EmptyFieldPolicyOf(settings.emptyFieldAction), settings.normalizeWidth};
}

std::wstring TrimNameEnds(const std::wstring& name) {
  const wchar_t* kLeftovers = L" -_";
  size_t first = name.find_first_not_of(kLeftovers);
  if (first == std::wstring::npos) return L"";
  size_t last = name.find_last_not_of(kLeftovers);
  return name.substr(first, last - first + 1);
}

std::wstring NumberedTarget(const std::wstring& target, int number) {
  const size_t sep = target.rfind(L'\\');
  const size_t nameStart = sep == std::wstring::npos ? 0 : sep + 1;
  size_t dot = target.rfind(L'.');
  if (dot == std::wstring::npos || dot < nameStart) dot = target.size();
  const std::wstring suffix = L" (" + std::to_wstring(number) + L")" + target.substr(dot);
  return WindowsTargetPath(target.substr(0, nameStart), target.substr(nameStart, dot - nameStart),
                           suffix);
}

std::wstring FirstFreeNumberedTarget(const std::wstring& target,
                                     const std::function<bool(const std::wstring&)>& isFree) {
  std::wstring candidate;
  for (int number = 2; number <= kMaxNumberedTarget; ++number) {
    candidate = NumberedTarget(target, number);
    if (isFree(candidate)) break;
  }
  return candidate;
}
