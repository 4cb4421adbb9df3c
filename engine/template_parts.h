// A template's optional parts: from "<" to the next ">", with "|" between
// alternatives. Only the template's own text is read this way; a "<" that
// a tag value brings is a character like any other.
#pragma once
#include <string>
#include <vector>

// A stretch of the template: plain text (one alternative, not optional) or
// an optional part with its alternatives in order.
struct TemplateSegment {
  bool optional = false;
  std::vector<std::wstring> alternatives;
};

// The template cut into its plain stretches and its parts. A "<" with no
// ">" after it, a ">" or "|" outside a part, and a "<" inside one stay in
// the text, where they go as forbidden characters go. A template without
// parts is one plain segment holding the whole template.
std::vector<TemplateSegment> SplitTemplateParts(const std::wstring& templ);
