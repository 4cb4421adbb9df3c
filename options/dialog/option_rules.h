// What the options dialog shows and stores, apart from its windows: the
// template legend and the mapping between stored codes and list items.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The legend under the template field. Its second column lines up only in a
// fixed-pitch font, where the ideographic space is two columns wide.
extern const wchar_t* const kTemplateLegend;

// Columns a text takes in a fixed-pitch Japanese font: full-width
// characters take two.
int DisplayColumns(const std::wstring& text);

// The item shown for a stored code of a policy list. Only a hand-edited
// settings file holds a code outside the list: the list then shows its
// first item, which is the policy the program applies to such a code.
int PolicySelection(int stored, int itemCount);

// The item shown for the double-click code: every code but 0 plays the
// entry, so any such code shows (and OK then stores) the "play" item.
int DoubleClickSelection(int stored);

// The combo box's first entry is the fixed "%A - %T": it is offered for
// choosing but is not one of the user's templates, so it is never removed.
bool CanRemoveTemplateEntry(int selectedIndex);

// The user's templates are the combo box's entries after its first.
std::vector<std::wstring> TemplatesFromEntries(const std::vector<std::wstring>& entries);
