// Which code points are marks that belong to the character before them
// (accents, dakuten, variation selectors): a cut between such a mark and its
// base would change the character the user sees.
#pragma once

bool IsCombiningMark(char32_t c);
