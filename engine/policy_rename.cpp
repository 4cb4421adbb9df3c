#include "engine/policy_rename.h"

#include "engine/rename_entry.h"
#include "win/file_lookup.h"

RunPolicies RunPoliciesFrom(const Settings& settings) {
  return {EmptyFieldPolicyOf(settings.emptyFieldAction), SameNamePolicyOf(settings.sameNameAction)};
}

std::wstring TargetForRun(const std::wstring& source, const std::wstring& target,
                          SameNamePolicy policy) {
  if (policy != SameNamePolicy::kNumber || target.empty()) return target;
  // The file's own name in another letter case is no other file's.
  if (LookupOtherFile(source, target) != win::Lookup::Found) return target;
  // A lookup that fails is left to the rename's own check, which reports it.
  return FirstFreeNumberedTarget(target, [](const std::wstring& candidate) {
    return win::LookupNormalFile(candidate) != win::Lookup::Found;
  });
}

RenameOutcome TryRenameEntry(
    const std::wstring& source, const std::wstring& target, const RunPolicies& policies,
    const std::function<std::optional<std::wstring>(const std::wstring& used)>& beforeMove,
    const std::function<unsigned long(const std::wstring&, const std::wstring&)>& move) {
  if (policies.emptyField == EmptyFieldPolicy::kKeepName && target == source)
    return {false, kEmptyFieldKeptText};
  const std::wstring used = TargetForRun(source, target, policies.sameName);
  std::function<std::optional<std::wstring>()> step;
  if (beforeMove) step = [&beforeMove, &used] { return beforeMove(used); };
  return TryRenameFileWith(source, used, step, move);
}
