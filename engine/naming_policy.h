// The choices of the options dialog's "変換オプション" page, as the engine
// applies them. Each is stored as the index of the chosen item; an index the
// list does not have (only a hand-edited settings file holds one) is applied
// as the first item, while the stored number itself is left as it is.
#pragma once
#include <functional>
#include <string>

#include "settings/settings.h"

// The policies themselves are declared beside the settings that hold them.
ForbiddenCharacterPolicy ForbiddenCharacterPolicyOf(int stored);
EmptyFieldPolicy EmptyFieldPolicyOf(int stored);
SameNamePolicy SameNamePolicyOf(int stored);

// The name builder's two policies together.
struct NamingPolicies {
  ForbiddenCharacterPolicy forbidden = ForbiddenCharacterPolicy::kDelete;
  EmptyFieldPolicy emptyField = EmptyFieldPolicy::kFallback;
  // "英数字・記号を半角に、半角カナを全角にする" (NormalizeWidth), on tag values.
  bool normalizeWidth = false;
};

// The name builder's choices a settings record holds.
NamingPolicies NamingPoliciesFrom(const Settings& settings);

// What a blanked field leaves at the ends of a name: spaces, "-" and "_"
// ("%A - %T" without an artist gives " - Title"). The middle stays.
std::wstring TrimNameEnds(const std::wstring& name);

// "name (n).ext" beside the target: the extension runs from the last dot of
// the target's last component (none without a dot). The name is cut before
// " (n)" when the longer name would not fit Windows' limits.
std::wstring NumberedTarget(const std::wstring& target, int number);

// The first of "name (2).ext", "name (3).ext", ... that isFree accepts;
// after kMaxNumberedTarget tries, the last one tried, whose own check then
// finds it taken.
inline constexpr int kMaxNumberedTarget = 9999;
std::wstring FirstFreeNumberedTarget(const std::wstring& target,
                                     const std::function<bool(const std::wstring&)>& isFree);

// The report's line for an entry that keeps its name because a field its
// template uses is empty.
inline constexpr const wchar_t* kEmptyFieldKeptText =
    L"未設定のフィールドがあるためリネームしません";
