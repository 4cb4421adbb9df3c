// A template's text as its placeholders are expanded, each piece marked
// with what brought it: the template itself or a tag value. Only the
// template's own backslashes name folders, so the name builder must still
// know, after the expansion, which characters were whose.
#pragma once
#include <string>
#include <vector>

struct TextPiece {
  std::wstring text;
  bool fromTag = false;
};
using ExpandedText = std::vector<TextPiece>;

// The pieces' texts one after the other.
std::wstring FlatText(const ExpandedText& text);

// Replaces every occurrence of code in the flat text (scanning from the
// start, non-overlapping, also where it runs across two pieces) with a piece
// of the tag value. An empty value leaves an empty piece: the place a value
// stood stays known.
void ReplaceWithTagValue(ExpandedText& text, const std::wstring& code, const std::wstring& value);

// The pieces of the flat text's characters from begin to end, with the
// empty pieces that stand between them or at either end.
ExpandedText SliceOf(const ExpandedText& text, size_t begin, size_t end);

// One folder or the file name, between two of the template's backslashes;
// byTag when a tag value stood in it, even one that left nothing.
struct NameComponent {
  std::wstring text;
  bool byTag = false;
};
std::vector<NameComponent> SplitAtTemplateSeparators(const ExpandedText& text);
