// The rename of one entry of a run under the options dialog's choices: an
// entry that keeps its name for an empty field is not renamed, and a taken
// target gives way to the first free "name (n).ext" when the user chose
// numbering.
#pragma once
#include <functional>
#include <optional>
#include <string>

#include "engine/naming_policy.h"
#include "engine/rename_run_logic.h"
#include "settings/settings.h"

struct RunPolicies {
  EmptyFieldPolicy emptyField = EmptyFieldPolicy::kFallback;
  SameNamePolicy sameName = SameNamePolicy::kSkip;
};

// The policies a settings record holds.
RunPolicies RunPoliciesFrom(const Settings& settings);

// The path the file is really renamed to: the entry's target, or with
// numbering and a target that another file holds, the first free numbered
// name in the same folder. A name an earlier entry of the run took is on
// the disk by then, so it counts as held.
std::wstring TargetForRun(const std::wstring& source, const std::wstring& target,
                          SameNamePolicy policy);

// TryRenameFileWith on the target the run really uses; beforeMove gets that
// path (the undo journal records it). An entry whose target is its own path
// under EmptyFieldPolicy::kKeepName is reported as kept, untouched. move
// as for TryRenameFileWith.
RenameOutcome TryRenameEntry(
    const std::wstring& source, const std::wstring& target, const RunPolicies& policies,
    const std::function<std::optional<std::wstring>(const std::wstring& used)>& beforeMove,
    const std::function<unsigned long(const std::wstring&, const std::wstring&)>& move = nullptr);
