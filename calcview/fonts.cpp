// SPDX-License-Identifier: GPL-2.0-or-later
#include "fonts.hpp"

#include <cstddef>
#include <string_view>

// Both fonts are written below as pictures: one line per character, its rows from top to bottom
// separated by spaces, '#' for ink and '.' for paper. A drawing may come in two parts (an accent
// and a letter) that are stacked. The pictures are turned into bit rows while compiling; a row of
// the wrong width, a stray character or a code drawn twice stops the build.

namespace calcview {

namespace {

struct Drawing {
    std::uint8_t code;
    std::string_view top;
    std::string_view bottom = {};
};

// Pieces of the large accented letters: a capital shortened to six rows under a one-row accent,
// a lower-case letter of five rows under a two-row accent.
constexpr std::string_view acuteLow = "...#.", graveLow = ".#...", circumflexLow = "..#..",
                           dieresisLow = ".#.#.";
constexpr std::string_view acuteHigh = "...#. ..#..", graveHigh = ".#... ..#..",
                           circumflexHigh = "..#.. .#.#.", dieresisHigh = ".#.#. .....",
                           tildeHigh = ".##.# #..#.";
constexpr std::string_view capitalA6 = ".###. #...# #...# ##### #...# #...#",
                           capitalE6 = "##### #.... ####. #.... #.... #####",
                           capitalI6 = ".###. ..#.. ..#.. ..#.. ..#.. .###.",
                           capitalO6 = ".###. #...# #...# #...# #...# .###.",
                           capitalU6 = "#...# #...# #...# #...# #...# .###.";
constexpr std::string_view lowerA5 = ".###. ....# .#### #...# .####",
                           lowerE5 = ".###. #...# ##### #.... .###.",
                           lowerI5 = ".##.. ..#.. ..#.. ..#.. .###.",
                           lowerO5 = ".###. #...# #...# #...# .###.",
                           lowerU5 = "#...# #...# #...# #..## .##.#";

// Pieces of the small accented letters: letters four rows high under a one-row accent.
constexpr std::string_view capitalA4 = ".#. #.# ### #.#", capitalE4 = "### ##. #.. ###",
                           capitalI4 = "### .#. .#. ###", capitalO4 = ".##. #..# #..# .##.",
                           capitalU4 = "#.# #.# #.# ###";
constexpr std::string_view lowerA4 = ".## #.# #.# .##", lowerE4 = ".#. #.# ##. .##",
                           lowerI4 = ".#. .#. .#. .#.", lowerO4 = ".#. #.# #.# .#.",
                           lowerU4 = "#.# #.# #.# .##";

// clang-format off
constexpr Drawing largeDrawings[] = {
    // Sequence variables, arrows and the small signs of menus and editors.
    {0x01, "..... ..... ..... ###.. #..#. #..#. #..#."},  // recursion n
    {0x02, "..... ..... ..... #..#. #..#. #..#. .###."},  // recursion u
    {0x03, "..... ..... ..... #...# #...# .#.#. ..#.."},  // recursion v
    {0x04, "..... ..... ..... #...# #.#.# #.#.# .#.#."},  // recursion w
    {0x05, "#.... ##... ###.. ####. ###.. ##... #...."},  // convert
    {0x06, "..... ..#.. .###. ##### ..... ..... ....."},  // small up triangle
    {0x07, "..... ..... ##### .###. ..#.. ..... ....."},  // small down triangle
    {0x08, "...#. ..#.# ..#.. ..#.. ..#.. #.#.. .#..."},  // integral
    {0x09, "..... #...# .#.#. ..#.. .#.#. #...# ....."},  // cross
    {0x0A, "..... ..... .###. .#.#. .###. ..... ....."},  // box icon
    {0x0B, "..... ..... ..#.. .###. ..#.. ..... ....."},  // cross icon
    {0x0C, "..... ..... .##.. .##.. ..... ..... ....."},  // dot icon
    {0x0D, "..... ..... ..... ###.. .#... .#... .#..."},  // subscript T
    {0x0E, "##... .#... ##... .#... ##... ..... ....."},  // cube root index
    {0x0F, "##### ##... ##... ####. ##... ##... ##..."},  // hexadecimal F
    {0x10, "..### ..#.. ..#.. ..#.. #.#.. .##.. ..#.."},  // square root
    {0x11, "...#. ..##. ##.#. ...#. ...#. ..... ....."},  // inverse
    {0x12, ".##.. #..#. ..#.. .#... ####. ..... ....."},  // squared
    {0x13, "..... ....# ...#. ..#.. .#... ##### ....."},  // angle
    {0x14, ".##.. #..#. #..#. .##.. ..... ..... ....."},  // degree
    {0x15, "#.##. ##... #.... #.... ..... ..... ....."},  // radian
    {0x16, "##### ..#.. ..#.. ..#.. ..... ..... ....."},  // transpose
    {0x17, "...#. ..#.. .#... ..#.. ...#. ..... #####"},  // less or equal
    {0x18, "..... ...#. ##### ..#.. ##### .#... ....."},  // not equal
    {0x19, ".#... ..#.. ...#. ..#.. .#... ..... #####"},  // greater or equal
    {0x1A, "..... ..... .###. ..... ..... ..... ....."},  // negation
    {0x1B, "..... ..... ###.. #.... ##... #.... ###.."},  // exponent E
    {0x1C, "..... ..#.. ...#. ##### ...#. ..#.. ....."},  // store arrow
    {0x1D, "..... ..... #.### #.#.# #.#.# #.### ....."},  // ten
    {0x1E, "..#.. .###. #.#.# ..#.. ..#.. ..#.. ..#.."},  // up arrow
    {0x1F, "..#.. ..#.. ..#.. ..#.. #.#.# .###. ..#.."},  // down arrow

    // ASCII positions (24h is the fourth-root index, 5Bh is theta).
    {' ',  "..... ..... ..... ..... ..... ..... ....."},
    {'!',  "..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#.."},
    {'"',  ".#.#. .#.#. .#.#. ..... ..... ..... ....."},
    {'#',  ".#.#. .#.#. ##### .#.#. ##### .#.#. .#.#."},
    {0x24, "..#.. .##.. #.#.. ####. ..#.. ..... ....."},  // fourth-root index
    {'%',  "##... ##..# ...#. ..#.. .#... #..## ...##"},
    {'&',  ".##.. #..#. #.#.. .#... #.#.# #..#. .##.#"},
    {'\'', "..#.. ..#.. .#... ..... ..... ..... ....."},
    {'(',  "...#. ..#.. .#... .#... .#... ..#.. ...#."},
    {')',  ".#... ..#.. ...#. ...#. ...#. ..#.. .#..."},
    {'*',  "..... ..#.. #.#.# .###. #.#.# ..#.. ....."},
    {'+',  "..... ..#.. ..#.. ##### ..#.. ..#.. ....."},
    {',',  "..... ..... ..... ..... .##.. ..#.. .#..."},
    {'-',  "..... ..... ..... ##### ..... ..... ....."},
    {'.',  "..... ..... ..... ..... ..... .##.. .##.."},
    {'/',  "..... ....# ...#. ..#.. .#... #.... ....."},
    {'0',  ".###. #...# #..## #.#.# ##..# #...# .###."},
    {'1',  "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###."},
    {'2',  ".###. #...# ....# ...#. ..#.. .#... #####"},
    {'3',  "##### ...#. ..#.. ...#. ....# #...# .###."},
    {'4',  "...#. ..##. .#.#. #..#. ##### ...#. ...#."},
    {'5',  "##### #.... ####. ....# ....# #...# .###."},
    {'6',  "..##. .#... #.... ####. #...# #...# .###."},
    {'7',  "##### ....# ...#. ..#.. .#... .#... .#..."},
    {'8',  ".###. #...# #...# .###. #...# #...# .###."},
    {'9',  ".###. #...# #...# .#### ....# ...#. .##.."},
    {':',  "..... .##.. .##.. ..... .##.. .##.. ....."},
    {';',  "..... .##.. .##.. ..... .##.. ..#.. .#..."},
    {'<',  "...#. ..#.. .#... #.... .#... ..#.. ...#."},
    {'=',  "..... ..... ##### ..... ##### ..... ....."},
    {'>',  ".#... ..#.. ...#. ....# ...#. ..#.. .#..."},
    {'?',  ".###. #...# ....# ...#. ..#.. ..... ..#.."},
    {'@',  ".###. #...# #.### #.#.# #.##. #.... .###."},
    {'A',  ".###. #...# #...# ##### #...# #...# #...#"},
    {'B',  "####. #...# #...# ####. #...# #...# ####."},
    {'C',  ".###. #...# #.... #.... #.... #...# .###."},
    {'D',  "###.. #..#. #...# #...# #...# #..#. ###.."},
    {'E',  "##### #.... #.... ####. #.... #.... #####"},
    {'F',  "##### #.... #.... ####. #.... #.... #...."},
    {'G',  ".###. #...# #.... #.### #...# #...# .####"},
    {'H',  "#...# #...# #...# ##### #...# #...# #...#"},
    {'I',  ".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###."},
    {'J',  "..### ...#. ...#. ...#. ...#. #..#. .##.."},
    {'K',  "#...# #..#. #.#.. ##... #.#.. #..#. #...#"},
    {'L',  "#.... #.... #.... #.... #.... #.... #####"},
    {'M',  "#...# ##.## #.#.# #.#.# #...# #...# #...#"},
    {'N',  "#...# #...# ##..# #.#.# #..## #...# #...#"},
    {'O',  ".###. #...# #...# #...# #...# #...# .###."},
    {'P',  "####. #...# #...# ####. #.... #.... #...."},
    {'Q',  ".###. #...# #...# #...# #.#.# #..#. .##.#"},
    {'R',  "####. #...# #...# ####. #.#.. #..#. #...#"},
    {'S',  ".#### #.... #.... .###. ....# ....# ####."},
    {'T',  "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."},
    {'U',  "#...# #...# #...# #...# #...# #...# .###."},
    {'V',  "#...# #...# #...# #...# #...# .#.#. ..#.."},
    {'W',  "#...# #...# #...# #.#.# #.#.# #.#.# .#.#."},
    {'X',  "#...# #...# .#.#. ..#.. .#.#. #...# #...#"},
    {'Y',  "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#.."},
    {'Z',  "##### ....# ...#. ..#.. .#... #.... #####"},
    {0x5B, ".###. #...# #...# ##### #...# #...# .###."},  // theta
    {'\\', "..... #.... .#... ..#.. ...#. ....# ....."},
    {']',  ".###. ...#. ...#. ...#. ...#. ...#. .###."},
    {'^',  "..#.. .#.#. #...# ..... ..... ..... ....."},
    {'_',  "..... ..... ..... ..... ..... ..... #####"},
    {'`',  ".#... ..#.. ...#. ..... ..... ..... ....."},
    {'a',  "..... ..... .###. ....# .#### #...# .####"},
    {'b',  "#.... #.... #.##. ##..# #...# #...# ####."},
    {'c',  "..... ..... .###. #.... #.... #...# .###."},
    {'d',  "....# ....# .##.# #..## #...# #...# .####"},
    {'e',  "..... ..... .###. #...# ##### #.... .###."},
    {'f',  "..##. .#..# .#... ###.. .#... .#... .#..."},
    {'g',  "..... .#### #...# #...# .#### ....# .###."},
    {'h',  "#.... #.... #.##. ##..# #...# #...# #...#"},
    {'i',  "..#.. ..... .##.. ..#.. ..#.. ..#.. .###."},
    {'j',  "...#. ..... ..##. ...#. ...#. #..#. .##.."},
    {'k',  "#.... #.... #..#. #.#.. ##... #.#.. #..#."},
    {'l',  ".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###."},
    {'m',  "..... ..... ##.#. #.#.# #.#.# #...# #...#"},
    {'n',  "..... ..... #.##. ##..# #...# #...# #...#"},
    {'o',  "..... ..... .###. #...# #...# #...# .###."},
    {'p',  "..... ####. #...# #...# ####. #.... #...."},
    {'q',  "..... .##.# #..## #...# .#### ....# ....#"},
    {'r',  "..... ..... #.##. ##..# #.... #.... #...."},
    {'s',  "..... ..... .###. #.... .###. ....# ####."},
    {'t',  ".#... .#... ###.. .#... .#... .#..# ..##."},
    {'u',  "..... ..... #...# #...# #...# #..## .##.#"},
    {'v',  "..... ..... #...# #...# #...# .#.#. ..#.."},
    {'w',  "..... ..... #...# #...# #.#.# #.#.# .#.#."},
    {'x',  "..... ..... #...# .#.#. ..#.. .#.#. #...#"},
    {'y',  "..... #...# #...# #...# .#### ....# .###."},
    {'z',  "..... ..... ##### ...#. ..#.. .#... #####"},
    {'{',  "...#. ..#.. ..#.. .#... ..#.. ..#.. ...#."},
    {'|',  "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#.."},
    {'}',  ".#... ..#.. ..#.. ...#. ..#.. ..#.. .#..."},
    {'~',  "..... ..... .#... #.#.# ...#. ..... ....."},
    {0x7F, "##### ##### ..... ##### ..... ##### #####"},  // selected equals sign

    // Accented letters (the subscript digits 80h..89h are made from the small digits).
    {0x8A, acuteLow, capitalA6},      {0x8B, graveLow, capitalA6},
    {0x8C, circumflexLow, capitalA6}, {0x8D, dieresisLow, capitalA6},
    {0x8E, acuteHigh, lowerA5},       {0x8F, graveHigh, lowerA5},
    {0x90, circumflexHigh, lowerA5},  {0x91, dieresisHigh, lowerA5},
    {0x92, acuteLow, capitalE6},      {0x93, graveLow, capitalE6},
    {0x94, circumflexLow, capitalE6}, {0x95, dieresisLow, capitalE6},
    {0x96, acuteHigh, lowerE5},       {0x97, graveHigh, lowerE5},
    {0x98, circumflexHigh, lowerE5},  {0x99, dieresisHigh, lowerE5},
    {0x9A, acuteLow, capitalI6},      {0x9B, graveLow, capitalI6},
    {0x9C, circumflexLow, capitalI6}, {0x9D, dieresisLow, capitalI6},
    {0x9E, acuteHigh, lowerI5},       {0x9F, graveHigh, lowerI5},
    {0xA0, circumflexHigh, lowerI5},  {0xA1, dieresisHigh, lowerI5},
    {0xA2, acuteLow, capitalO6},      {0xA3, graveLow, capitalO6},
    {0xA4, circumflexLow, capitalO6}, {0xA5, dieresisLow, capitalO6},
    {0xA6, acuteHigh, lowerO5},       {0xA7, graveHigh, lowerO5},
    {0xA8, circumflexHigh, lowerO5},  {0xA9, dieresisHigh, lowerO5},
    {0xAA, acuteLow, capitalU6},      {0xAB, graveLow, capitalU6},
    {0xAC, circumflexLow, capitalU6}, {0xAD, dieresisLow, capitalU6},
    {0xAE, acuteHigh, lowerU5},       {0xAF, graveHigh, lowerU5},
    {0xB0, circumflexHigh, lowerU5},  {0xB1, dieresisHigh, lowerU5},
    {0xB2, ".###. #...# #.... #.... #...# .###. ..##."},  // C cedilla
    {0xB3, "..... .###. #.... #.... #...# .###. ..##."},  // c cedilla
    {0xB4, tildeHigh, "#...# ##..# #.#.# #..## #...#"},  // N tilde
    {0xB5, tildeHigh, "#.##. ##..# #...# #...# #...#"},  // n tilde
    {0xB6, "...#. ..#.. ..... ..... ..... ..... ....."},  // acute accent
    {0xB7, ".#... ..#.. ..... ..... ..... ..... ....."},  // grave accent
    {0xB8, ".#.#. ..... ..... ..... ..... ..... ....."},  // dieresis
    {0xB9, "..#.. ..... ..#.. .#... #.... #...# .###."},  // inverted question mark
    {0xBA, "..#.. ..... ..#.. ..#.. ..#.. ..#.. ..#.."},  // inverted exclamation mark

    // Greek letters and statistics signs.
    {0xBB, "..... ..... .##.# #..#. #..#. #..#. .##.#"},  // alpha
    {0xBC, ".##.. #..#. #.#.. #..#. #..#. ###.. #...."},  // beta
    {0xBD, "..... #...# #...# .#.#. ..#.. .#.#. ..#.."},  // gamma
    {0xBE, "..... ..#.. ..#.. .#.#. .#.#. #...# #####"},  // capital delta
    {0xBF, ".##.. #.... .#... .##.. #..#. #..#. .##.."},  // delta
    {0xC0, "..... ..... .###. #.... .##.. #.... .###."},  // epsilon
    {0xC1, ".###. .#... .#... .#... .#... .#... .###."},  // left bracket
    {0xC2, "#.... .#... .#... ..#.. .#.#. #...# #...#"},  // lambda
    {0xC3, "..... ..... #..#. #..#. #..#. ###.# #...."},  // mu
    {0xC4, "..... ..... ##### .#.#. .#.#. .#.#. .#..#"},  // pi
    {0xC5, "..... ..... .###. #...# #...# ####. #...."},  // rho
    {0xC6, "##### #.... .#... ..#.. .#... #.... #####"},  // capital sigma
    {0xC7, "..... ..... .#### #..#. #...# #...# .###."},  // sigma
    {0xC8, "..... ..... ##### ..#.. ..#.. ..#.. ...##"},  // tau
    {0xC9, "..#.. ..#.. .###. #.#.# #.#.# .###. ..#.."},  // phi
    {0xCA, ".###. #...# #...# #...# .#.#. .#.#. ##.##"},  // capital omega
    {0xCB, "##### ..... #...# .#.#. ..#.. .#.#. #...#"},  // x mean
    {0xCC, "##### ..... #...# #...# .#### ....# .###."},  // y mean
    {0xCD, "#.#.. .#... #.#.. ..... ..... ..... ....."},  // superscript x
    {0xCE, "..... ..... ..... ..... ..... ..... #.#.#"},  // ellipsis
    {0xCF, "....# ...## ..### .#### ..### ...## ....#"},  // left triangle
    {0xD0, "##### ##### ##### ##### ##### ##### #####"},  // block
    {0xD1, "....# ....# ...#. ..#.. .#... #.... #...."},  // per
    {0xD2, "..... ..... ..... .###. ..... ..... ....."},  // hyphen
    {0xD3, ".##.. #..#. ..#.. .#... ####. ..... ....."},  // area (squared)
    {0xD4, ".##.. #..#. #..#. .##.. ..... ..... ....."},  // temperature degree
    {0xD5, "###.. ..#.. .##.. ..#.. ###.. ..... ....."},  // cubed
    {0xD6, "....# ....# ..#.# .#..# ##### .#... ..#.."},  // enter
    {0xD7, "...#. ..... ..##. ...#. ..#.. ..#.. .##.."},  // imaginary i
    {0xD8, "..#.. .#.#. ..... ####. #...# ####. #...."},  // p hat
    {0xD9, "..... #...# .#.#. ..#.. ..#.. .#.#. #...#"},  // chi
    {0xDA, "..... ####. #.... ###.. #.... #.... ....."},  // statistics F
    {0xDB, "..... ..... ..##. .#..# .###. .#... ..##."},  // natural e
    {0xDC, "..... ..... #.... #.... #.... ###.. ....."},  // list L
    {0xDD, "..... #...# ##..# #.#.# #..## #...# ....."},  // finance N
    {0xDE, ".#... ..#.. ..#.. .#... ..... ..... ....."},  // superscript right parenthesis

    // Cursors and graph-style icons of the large font.
    {0xE0, "#.#.# .#.#. #.#.# .#.#. #.#.# .#.#. #.#.#"},  // overwrite cursor
    {0xE1, "##.## #...# .#.#. ##.## ##.## ##.## #####"},  // overwrite cursor, 2nd
    {0xE2, "#...# .###. .###. ..... .###. .###. .###."},  // overwrite cursor, alpha
    {0xE3, "##### ##### #...# ####. #.... .###. #...."},  // overwrite cursor, lower-case alpha
    {0xE4, "..... ..... ..... ..... ..... ##### #####"},  // insert cursor
    {0xE5, "..#.. .###. #.#.# ..#.. ..... ##### #####"},  // insert cursor, 2nd
    {0xE6, ".###. #...# ##### #...# ..... ##### #####"},  // insert cursor, alpha
    {0xE7, ".##.. ...#. .###. #..#. .###. ##### #####"},  // insert cursor, lower-case alpha
    {0xE8, "....# ...#. ...#. ..#.. .#... .#... #...."},  // graph style: line
    {0xE9, "...## ..### ..##. .##.. ##... ##... #...."},  // graph style: thick
    {0xEA, "##### ####. ###.. ##... #.... ..... ....."},  // graph style: shade above
    {0xEB, "..... ..... ....# ...## ..### .#### #####"},  // graph style: shade below
    {0xEC, ".##.. #..#. #..#. .##.. ...#. ....# ....."},  // graph style: path
    {0xED, ".###. ##### ##### ##### .###. ..... ....."},  // graph style: animate
    {0xEE, "..... ..... #.... ..#.. ....# ..... ....."},  // graph style: dot
    {0xEF, "##.## #...# .#.#. ##.## ##.## ##.## ##.##"},  // up arrow on a block
    {0xF0, "##.## ##.## ##.## ##.## .#.#. #...# ##.##"},  // down arrow on a block
    {0xF1, "##### ##### ##### ##### ##### ##### #####"},  // full cursor
};

constexpr Drawing smallDrawings[] = {
    // ASCII positions (24h is a dollar sign here, 5Bh is theta); the width of the rows is the
    // width of the ink.
    {' ',  ""},
    {'!',  "# # # . #"},
    {'"',  "#.# #.# ... ... ..."},
    {'#',  ".#.#. ##### .#.#. ##### .#.#."},
    {'$',  ".## ##. .#. .## ##."},
    {'%',  "#.# ..# .#. #.. #.#"},
    {'&',  ".#.. #.#. .#.. #.#. .#.#"},
    {'\'', "# # . . ."},
    {'(',  ".# #. #. #. .#"},
    {')',  "#. .# .# .# #."},
    {'*',  "... #.# .#. #.# ..."},
    {'+',  "... .#. ### .#. ..."},
    {',',  ".. .. .. .# #."},
    {'-',  "... ... ### ... ..."},
    {'.',  ". . . . #"},
    {'/',  "..# ..# .#. #.. #.."},
    {'0',  ".#. #.# #.# #.# .#."},
    {'1',  ".#. ##. .#. .#. ###"},
    {'2',  "##. ..# .#. #.. ###"},
    {'3',  "##. ..# .#. ..# ##."},
    {'4',  "#.# #.# ### ..# ..#"},
    {'5',  "### #.. ##. ..# ##."},
    {'6',  ".#. #.. ##. #.# .#."},
    {'7',  "### ..# .#. .#. .#."},
    {'8',  ".#. #.# .#. #.# .#."},
    {'9',  ".#. #.# .## ..# .#."},
    {':',  ". # . # ."},
    {';',  ".. .# .. .# #."},
    {'<',  "..# .#. #.. .#. ..#"},
    {'=',  "... ### ... ### ..."},
    {'>',  "#.. .#. ..# .#. #.."},
    {'?',  "##. ..# .#. ... .#."},
    {'@',  ".##. #..# #.## #... .##."},
    {'A',  ".#. #.# ### #.# #.#"},
    {'B',  "##. #.# ##. #.# ##."},
    {'C',  ".## #.. #.. #.. .##"},
    {'D',  "##. #.# #.# #.# ##."},
    {'E',  "### #.. ##. #.. ###"},
    {'F',  "### #.. ##. #.. #.."},
    {'G',  ".## #.. #.# #.# .##"},
    {'H',  "#.# #.# ### #.# #.#"},
    {'I',  "### .#. .#. .#. ###"},
    {'J',  "..# ..# ..# #.# .#."},
    {'K',  "#.# #.# ##. #.# #.#"},
    {'L',  "#.. #.. #.. #.. ###"},
    {'M',  "#...# ##.## #.#.# #...# #...#"},
    {'N',  "#..# ##.# #.## #..# #..#"},
    {'O',  ".##. #..# #..# #..# .##."},
    {'P',  "##. #.# ##. #.. #.."},
    {'Q',  ".##. #..# #..# #.## .###"},
    {'R',  "##. #.# ##. #.# #.#"},
    {'S',  ".## #.. .#. ..# ##."},
    {'T',  "### .#. .#. .#. .#."},
    {'U',  "#.# #.# #.# #.# ###"},
    {'V',  "#.# #.# #.# #.# .#."},
    {'W',  "#...# #...# #.#.# ##.## #...#"},
    {'X',  "#.# #.# .#. #.# #.#"},
    {'Y',  "#.# #.# .#. .#. .#."},
    {'Z',  "### ..# .#. #.. ###"},
    {0x5B, ".#. #.# ### #.# .#."},  // theta
    {'\\', "#.. #.. .#. ..# ..#"},
    {']',  "## .# .# .# ##"},
    {'^',  ".#. #.# ... ... ..."},
    {'_',  "... ... ... ... ###"},
    {'`',  "#. .# .. .. .."},
    {'a',  "... .## #.# #.# .##"},
    {'b',  "#.. ##. #.# #.# ##."},
    {'c',  "... .## #.. #.. .##"},
    {'d',  "..# .## #.# #.# .##"},
    {'e',  "... .#. #.# ##. .##"},
    {'f',  ".## #.. ##. #.. #.."},
    {'g',  "... .## #.# .## ##."},
    {'h',  "#.. ##. #.# #.# #.#"},
    {'i',  "# . # # #"},
    {'j',  ".# .. .# .# #."},
    {'k',  "#.. #.# ##. ##. #.#"},
    {'l',  "#. #. #. #. .#"},
    {'m',  "..... ##.#. #.#.# #.#.# #.#.#"},
    {'n',  "... ##. #.# #.# #.#"},
    {'o',  "... .#. #.# #.# .#."},
    {'p',  "... ##. #.# ##. #.."},
    {'q',  "... .## #.# .## ..#"},
    {'r',  "... #.# ##. #.. #.."},
    {'s',  "... .## ##. ..# ##."},
    {'t',  ".#. ### .#. .#. ..#"},
    {'u',  "... #.# #.# #.# .##"},
    {'v',  "... #.# #.# #.# .#."},
    {'w',  "..... #...# #.#.# #.#.# .#.#."},
    {'x',  "... #.# .#. .#. #.#"},
    {'y',  "... #.# #.# .## ##."},
    {'z',  "... ### .#. #.. ###"},
    {'{',  ".## .#. #.. .#. .##"},
    {'|',  "# # # # #"},
    {'}',  "##. .#. ..# .#. ##."},
    {'~',  ".... .#.# #.#. .... ...."},

    // Sequence variables, arrows and the small signs of menus and editors.
    {0x01, "... ... ##. #.# #.#"},              // recursion n
    {0x02, "... ... #.# #.# .##"},              // recursion u
    {0x03, "... ... #.# #.# .#."},              // recursion v
    {0x04, "..... ..... #...# #.#.# .#.#."},    // recursion w
    {0x05, "#.. ##. ### ##. #.."},              // convert
    {0x06, "... ... ... ... ..."},              // four blank columns
    {0x07, "... ### .#. ... ..."},              // small down triangle
    {0x08, "..# .#. .#. .#. #.."},              // integral
    {0x09, "#...# .#.#. ..#.. .#.#. #...#"},    // cross
    {0x0A, "... ### #.# ### ..."},              // box icon
    {0x0B, "... ... .#. ### .#."},              // cross icon
    {0x0C, ".. .. ## ## .."},                   // dot icon
    {0x0D, "... ... ### .#. .#."},              // subscript T
    {0x0E, "##. .#. ..# ##. ..."},              // cube root index
    {0x0F, "#### ##.. ###. ##.. ##.."},         // hexadecimal F
    {0x10, "..### ..#.. ..#.. #.#.. .#..."},    // square root
    {0x11, "...# ##.# ...# ...# ...."},         // inverse
    {0x12, "##. ..# .#. ### ..."},              // squared
    {0x13, "...# ..#. .#.. #### ...."},         // angle
    {0x14, ".#. #.# .#. ... ..."},              // degree
    {0x15, "#.# ##. #.. ... ..."},              // radian
    {0x16, "### .#. .#. ... ..."},              // transpose
    {0x17, "..# .#. ..# ... ###"},              // less or equal
    {0x18, "..# ### .#. ### #.."},              // not equal
    {0x19, "#.. .#. #.. ... ###"},              // greater or equal
    {0x1A, ".. ## .. .. .."},                   // negation
    {0x1B, "... ### ##. #.. ###"},              // exponent E
    {0x1C, ".... ..#. #### ..#. ...."},         // store arrow
    {0x1D, "..... #.### #.#.# #.### ....."},    // ten
    {0x1E, ".#. ### .#. .#. .#."},              // up arrow
    {0x1F, ".#. .#. .#. ### .#."},              // down arrow
    {0x7F, "### ... ### ... ###"},              // selected equals sign

    // Subscript digits.
    {0x80, "... ### #.# #.# ###"}, {0x81, "... .#. ##. .#. .#."},
    {0x82, "... ##. ..# .#. ###"}, {0x83, "... ##. .## ..# ##."},
    {0x84, "... #.# #.# ### ..#"}, {0x85, "... ### ##. ..# ##."},
    {0x86, "... .## #.. ### ###"}, {0x87, "... ### ..# .#. .#."},
    {0x88, "... ### ### #.# ###"}, {0x89, "... ### ### ..# ##."},

    // Accented letters: an accent row over a letter four rows high.
    {0x8A, "..#", capitalA4},  {0x8B, "#..", capitalA4},
    {0x8C, ".#.", capitalA4},  {0x8D, "#.#", capitalA4},
    {0x8E, "..#", lowerA4},    {0x8F, "#..", lowerA4},
    {0x90, ".#.", lowerA4},    {0x91, "#.#", lowerA4},
    {0x92, "..#", capitalE4},  {0x93, "#..", capitalE4},
    {0x94, ".#.", capitalE4},  {0x95, "#.#", capitalE4},
    {0x96, "..#", lowerE4},    {0x97, "#..", lowerE4},
    {0x98, ".#.", lowerE4},    {0x99, "#.#", lowerE4},
    {0x9A, "..#", capitalI4},  {0x9B, "#..", capitalI4},
    {0x9C, ".#.", capitalI4},  {0x9D, "#.#", capitalI4},
    {0x9E, "..#", lowerI4},    {0x9F, "#..", lowerI4},
    {0xA0, ".#.", lowerI4},    {0xA1, "#.#", lowerI4},
    {0xA2, "..#.", capitalO4}, {0xA3, ".#..", capitalO4},
    {0xA4, ".##.", capitalO4}, {0xA5, "#..#", capitalO4},
    {0xA6, "..#", lowerO4},    {0xA7, "#..", lowerO4},
    {0xA8, ".#.", lowerO4},    {0xA9, "#.#", lowerO4},
    {0xAA, "..#", capitalU4},  {0xAB, "#..", capitalU4},
    {0xAC, ".#.", capitalU4},  {0xAD, "#.#", capitalU4},
    {0xAE, "..#", lowerU4},    {0xAF, "#..", lowerU4},
    {0xB0, ".#.", lowerU4},    {0xB1, "#.#", lowerU4},
    {0xB2, ".## #.. #.. .## .#."},              // C cedilla
    {0xB3, "... .## #.. .## .#."},              // c cedilla
    {0xB4, ".#.#", "#..# ##.# #.## #..#"},      // N tilde
    {0xB5, ".##", "##. #.# #.# #.#"},           // n tilde
    {0xB6, ".# #. .. .. .."},                   // acute accent
    {0xB7, "#. .# .. .. .."},                   // grave accent
    {0xB8, "#.# ... ... ... ..."},              // dieresis
    {0xB9, ".#. ... .#. #.. .##"},              // inverted question mark
    {0xBA, "# . # # #"},                        // inverted exclamation mark

    // Greek letters and statistics signs.
    {0xBB, ".... .#.# #.#. #.#. .#.#"},         // alpha
    {0xBC, ".#. #.# ##. #.# ##."},              // beta
    {0xBD, "... #.# #.# .#. .#."},              // gamma
    {0xBE, "..... ..#.. .#.#. #...# #####"},    // capital delta
    {0xBF, ".## #.. .#. #.# .#."},              // delta
    {0xC0, "... .## ##. #.. .##"},              // epsilon
    {0xC1, "## #. #. #. ##"},                   // left bracket
    {0xC2, "#.. .#. .#. #.# #.#"},              // lambda
    {0xC3, "... #.# #.# ##. #.."},              // mu
    {0xC4, ".... #### .#.# .#.# .#.#"},         // pi
    {0xC5, "... .#. #.# ##. #.."},              // rho
    {0xC6, "### #.. .#. #.. ###"},              // capital sigma
    {0xC7, ".... .### #.#. #.#. .#.."},         // sigma
    {0xC8, "... ### .#. .#. ..#"},              // tau
    {0xC9, "..#.. .###. #.#.# .###. ..#.."},    // phi
    {0xCA, ".###. #...# #...# .#.#. ##.##"},    // capital omega
    {0xCB, "### ... #.# .#. #.#"},              // x mean
    {0xCC, "### ... #.# .#. .#."},              // y mean
    {0xCD, "#.# .#. #.# ... ..."},              // superscript x
    {0xCE, "..... ..... ..... ..... #.#.#"},    // ellipsis
    {0xCF, "..# .## ### .## ..#"},              // left triangle
    {0xD0, "#### #### #### #### ####"},         // block
    {0xD1, "...# ..#. .#.. #... ...."},         // per
    {0xD2, ".. .. ## .. .."},                   // hyphen
    {0xD3, "##. ..# .#. ### ..."},              // area (squared)
    {0xD4, ".#. #.# .#. ... ..."},              // temperature degree
    {0xD5, "##. .#. ..# ##. ..."},              // cubed
    {0xD6, "..# ..# #.# ### #.."},              // enter
    {0xD7, ".# .. .# #. #."},                   // imaginary i
    {0xD8, ".#. ##. #.# ##. #.."},              // p hat
    {0xD9, ".... ##.# ..#. .#.. #.##"},         // chi
    {0xDA, "... ### #.. ##. #.."},              // statistics F
    {0xDB, ".... .##. #.#. ##.. .##."},         // natural e
    {0xDC, "... #.. #.. #.. ###"},              // list L
    {0xDD, ".... #..# ##.# #.## #..#"},         // finance N
    {0xDE, "#. .# .# #. .."},                   // superscript right parenthesis

    // Signs of the statistics editors; each plot type's icon is two characters wide.
    {0xDF, "## #. ## #. ##"},                   // narrow capital E
    {0xE0, ".#. #.# ### ### ###"},              // list lock
    {0xE1, "..... ...#. .#... ....# #...."},    // scatter plot, left half
    {0xE2, "#.... ...#. ..... .#... ....#"},    // scatter plot, right half
    {0xE3, "..... ....# ...#. #.#.. .#..."},    // xy-line plot, left half
    {0xE4, "#.... .#... ..#.# ...#. ....."},    // xy-line plot, right half
    {0xE5, "..... #..## ###.# #..## ....."},    // box plot, left half
    {0xE6, "..... ##..# .#### ##..# ....."},    // box plot, right half
    {0xE7, "..... ..### ###.# #.#.# #.#.#"},    // histogram, left half
    {0xE8, "..... #.... #.### #.#.# #.#.#"},    // histogram, right half
    {0xE9, "..... ...## #.##. ...## ....."},    // modified box plot, left half
    {0xEA, "..... #.... ####. #...# ....."},    // modified box plot, right half
    {0xEB, "..... ..... ..... .#... #...."},    // normal probability plot, left half
    {0xEC, "....# ...#. ..#.. ..... ....."},    // normal probability plot, right half
};
// clang-format on

// Drawings are checked while compiling: a failed check here is a compile error that points at
// the message.
constexpr void require(bool condition, const char* message) {
    if (!condition) {
        throw message;
    }
}

/// The rows of a drawing, split at spaces, both parts in order.
template <std::size_t maxRows>
struct Picture {
    std::array<std::string_view, maxRows> rows{};
    std::size_t count = 0;
    std::size_t width = 0;
};

template <std::size_t maxRows>
constexpr void appendRows(Picture<maxRows>& picture, std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find(' ');
        const std::string_view row = text.substr(0, end);
        require(picture.count < maxRows, "a drawing has too many rows");
        require(picture.count == 0 || row.size() == picture.width, "rows of unequal width");
        for (char pixel : row) {
            require(pixel == '#' || pixel == '.', "a drawing holds a character other than # or .");
        }
        picture.width = row.size();
        picture.rows[picture.count++] = row;
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    }
}

template <std::size_t maxRows>
constexpr Picture<maxRows> pictureOf(const Drawing& drawing) {
    Picture<maxRows> picture;
    appendRows(picture, drawing.top);
    appendRows(picture, drawing.bottom);
    return picture;
}

/// The bits of one row, the leftmost pixel at `leftBit`.
constexpr std::uint8_t bitsOf(std::string_view row, int leftBit) {
    std::uint8_t bits = 0;
    for (std::size_t column = 0; column < row.size(); ++column) {
        if (row[column] == '#') {
            bits |= static_cast<std::uint8_t>(1u << (leftBit - static_cast<int>(column)));
        }
    }
    return bits;
}

template <std::size_t count>
constexpr void requireEachCodeOnce(const Drawing (&drawings)[count]) {
    std::array<bool, 256> drawn{};
    for (const Drawing& drawing : drawings) {
        require(!drawn[drawing.code], "a character code is drawn twice");
        drawn[drawing.code] = true;
    }
}

// A hollow box for codes with no known picture.
constexpr LargeGlyph largeBox = {{0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F}};
constexpr SmallGlyph smallBox = {4, {0x00, 0xE0, 0xA0, 0xA0, 0xA0, 0xE0, 0x00, 0x00}};

constexpr LargeGlyph largeFromDrawing(const Drawing& drawing) {
    const auto picture = pictureOf<largeGlyphHeight>(drawing);
    require(picture.count == largeGlyphHeight, "a large drawing needs 7 rows");
    require(picture.width == largeGlyphWidth, "a large drawing needs rows of 5 pixels");
    LargeGlyph glyph{};
    for (std::size_t row = 0; row < picture.count; ++row) {
        glyph.rows[row] = bitsOf(picture.rows[row], largeGlyphWidth - 1);
    }
    return glyph;
}

constexpr int smallInkRows = smallGlyphHeight - 1;
constexpr int smallMaxInkWidth = 5;

constexpr SmallGlyph smallFromDrawing(const Drawing& drawing) {
    const auto picture = pictureOf<smallInkRows>(drawing);
    require(picture.count == 0 || picture.count == smallInkRows, "a small drawing needs 5 rows");
    require(picture.width <= smallMaxInkWidth, "a small drawing is wider than 5 pixels");
    SmallGlyph glyph{static_cast<std::uint8_t>(picture.width + 1), {}};
    for (std::size_t row = 0; row < picture.count; ++row) {
        glyph.rows[row + 1] = bitsOf(picture.rows[row], 7);
    }
    return glyph;
}

constexpr std::uint8_t firstSubscript = 0x80;

// The subscript digits of the large font are the small digits, lowered to the bottom of the cell
// and moved one pixel in from the left.
constexpr LargeGlyph subscriptFromSmallDigit(const SmallGlyph& digit) {
    LargeGlyph glyph{};
    for (int row = 1; row < smallGlyphHeight; ++row) {
        glyph.rows[row + 1] = static_cast<std::uint8_t>(digit.rows[row] >> 4);
    }
    return glyph;
}

constexpr std::array<SmallGlyph, 256> buildSmallFont() {
    requireEachCodeOnce(smallDrawings);
    std::array<SmallGlyph, 256> font{};
    font.fill(smallBox);
    for (const Drawing& drawing : smallDrawings) {
        font[drawing.code] = smallFromDrawing(drawing);
    }
    return font;
}

constexpr auto smallFont = buildSmallFont();

constexpr std::array<LargeGlyph, 256> buildLargeFont() {
    requireEachCodeOnce(largeDrawings);
    std::array<LargeGlyph, 256> font{};
    font.fill(largeBox);
    for (int digit = 0; digit < 10; ++digit) {
        font[firstSubscript + digit] = subscriptFromSmallDigit(smallFont['0' + digit]);
    }
    for (const Drawing& drawing : largeDrawings) {
        require(drawing.code < firstSubscript || drawing.code >= firstSubscript + 10,
                "the subscript digits come from the small font");
        font[drawing.code] = largeFromDrawing(drawing);
    }
    return font;
}

constexpr auto largeFont = buildLargeFont();

}  // namespace

const LargeGlyph& largeGlyph(std::uint8_t code) { return largeFont[code]; }

const SmallGlyph& smallGlyph(std::uint8_t code) { return smallFont[code]; }

}  // namespace calcview
