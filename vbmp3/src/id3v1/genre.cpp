#include "vbmp3/src/id3v1/genre.h"

namespace vbmp3 {
namespace {

// The numbering has no gaps: callers may list names by position.
// clang-format off
constexpr std::string_view kGenres[kGenreCount] = {
    "Blues", "Classic Rock", "Country", "Dance",  // 0-3
    "Disco", "Funk", "Grunge", "Hip-Hop",  // 4-7
    "Jazz", "Metal", "New Age", "Oldies",  // 8-11
    "Other", "Pop", "R&B", "Rap",  // 12-15
    "Reggae", "Rock", "Techno", "Industrial",  // 16-19
    "Alternative", "Ska", "Death Metal", "Pranks",  // 20-23
    "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",  // 24-27
    "Vocal", "Jazz+Funk", "Fusion", "Trance",  // 28-31
    "Classical", "Instrumental", "Acid", "House",  // 32-35
    "Game", "Sound Clip", "Gospel", "Noise",  // 36-39
    "Alternative Rock", "Bass", "Soul", "Punk",  // 40-43
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock",  // 44-47
    "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",  // 48-51
    "Electronic", "Pop-Folk", "Eurodance", "Dream",  // 52-55
    "Southern Rock", "Comedy", "Cult", "Gangsta",  // 56-59
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle",  // 60-63
    "Native American", "Cabaret", "New Wave", "Psychedelic",  // 64-67
    "Rave", "Showtunes", "Trailer", "Lo-Fi",  // 68-71
    "Tribal", "Acid Punk", "Acid Jazz", "Polka",  // 72-75
    "Retro", "Musical", "Rock & Roll", "Hard Rock",  // 76-79
    "Folk", "Folk-Rock", "National Folk", "Swing",  // 80-83
    "Fast Fusion", "Bebop", "Latin", "Revival",  // 84-87
    "Celtic", "Bluegrass", "Avantgarde", "Gothic Rock",  // 88-91
    "Progressive Rock", "Psychedelic Rock", "Symphonic Rock", "Slow Rock",  // 92-95
    "Big Band", "Chorus", "Easy Listening", "Acoustic",  // 96-99
    "Humour", "Speech", "Chanson", "Opera",  // 100-103
    "Chamber Music", "Sonata", "Symphony", "Booty Bass",  // 104-107
    "Primus", "Porn Groove", "Satire", "Slow Jam",  // 108-111
    "Club", "Tango", "Samba", "Folklore",  // 112-115
    "Ballad", "Power Ballad", "Rhythmic Soul", "Freestyle",  // 116-119
    "Duet", "Punk Rock", "Drum Solo", "A Cappella",  // 120-123
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass",  // 124-127
    "Club-House", "Hardcore", "Terror", "Indie",  // 128-131
    "BritPop", "Negerpunk", "Polsk Punk", "Beat",  // 132-135
    "Christian Gangsta Rap", "Heavy Metal", "Black Metal", "Crossover",  // 136-139
    "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",  // 140-143
    "Thrash Metal", "Anime", "JPop", "Synthpop",  // 144-147
    "Abstract", "Art Rock", "Baroque", "Bhangra",  // 148-151
    "Big Beat", "Breakbeat", "Chillout", "Downtempo",  // 152-155
    "Dub", "EBM", "Eclectic", "Electro",  // 156-159
    "Electroclash", "Emo", "Experimental", "Garage",  // 160-163
    "Global", "IDM", "Illbient", "Industro-Goth",  // 164-167
    "Jam Band", "Krautrock", "Leftfield", "Lounge",  // 168-171
    "Math Rock", "New Romantic", "Nu-Breakz", "Post-Punk",  // 172-175
    "Post-Rock", "Psytrance", "Shoegaze", "Space Rock",  // 176-179
    "Trop Rock", "World Music", "Neoclassical", "Audiobook",  // 180-183
    "Audio Theatre", "Neue Deutsche Welle", "Podcast", "Indie Rock",  // 184-187
    "G-Funk", "Dubstep", "Garage Rock", "Psybient",  // 188-191
};
// clang-format on

}  // namespace

std::string_view GenreName(int number) {
  if (number < 0 || number >= kGenreCount) return {};
  return kGenres[number];
}

}  // namespace vbmp3
