// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The directives of the dialect, in one table: the layout reads from it how
// far each moves the location counter, the rewriter what it does, the
// listing which ones steer it. A directive missing here is unknown to all
// three.

#include <string_view>

namespace tasm {

/// What a directive does. The rewriter has one step for each.
enum class Directive {
    origin,          ///< .org
    equate,          ///< .equ and =
    set,             ///< .set
    bytes,           ///< .db .byte .text
    words,           ///< .dw .word
    block,           ///< .block .ds: skips bytes
    fill,            ///< .fill
    checksum,        ///< .chk
    echo,            ///< .echo
    module,          ///< .module
    localLabelChar,  ///< .locallabelchar
    addInstruction,  ///< .addinstr
    msFirst,         ///< .msfirst
    lsFirst,         ///< .lsfirst
    end,             ///< .end: the source ends before it
    // The listing and symbol file's; they change no byte.
    list,
    noList,
    codes,
    noCodes,
    page,
    noPage,
    eject,
    title,
    symbols,  ///< .sym
    other,    ///< .tsym .export: accepted, without effect
    count
};

/// How a directive moves the location counter: not at all, by one byte, by
/// its data, by the count it gives, or to the address it gives.
enum class Moves { none, byte, bytes, words, count, origin };

struct DirectiveRow {
    std::string_view name;  ///< lower case, as written after the label
    Directive directive;
    Moves moves;
};

inline constexpr DirectiveRow directiveTable[] = {
    {".org", Directive::origin, Moves::origin},
    {".equ", Directive::equate, Moves::none},
    {"=", Directive::equate, Moves::none},
    {".set", Directive::set, Moves::none},
    {".db", Directive::bytes, Moves::bytes},
    {".byte", Directive::bytes, Moves::bytes},
    {".text", Directive::bytes, Moves::bytes},
    {".dw", Directive::words, Moves::words},
    {".word", Directive::words, Moves::words},
    {".block", Directive::block, Moves::count},
    // TASM takes .ds as .block, though its manual does not list it.
    {".ds", Directive::block, Moves::count},
    {".fill", Directive::fill, Moves::count},
    {".chk", Directive::checksum, Moves::byte},
    {".echo", Directive::echo, Moves::none},
    {".module", Directive::module, Moves::none},
    {".locallabelchar", Directive::localLabelChar, Moves::none},
    {".addinstr", Directive::addInstruction, Moves::none},
    {".msfirst", Directive::msFirst, Moves::none},
    {".lsfirst", Directive::lsFirst, Moves::none},
    {".end", Directive::end, Moves::none},
    {".list", Directive::list, Moves::none},
    {".nolist", Directive::noList, Moves::none},
    {".codes", Directive::codes, Moves::none},
    {".nocodes", Directive::noCodes, Moves::none},
    {".page", Directive::page, Moves::none},
    {".nopage", Directive::noPage, Moves::none},
    {".eject", Directive::eject, Moves::none},
    {".title", Directive::title, Moves::none},
    {".sym", Directive::symbols, Moves::none},
    {".tsym", Directive::other, Moves::none},
    {".export", Directive::other, Moves::none},
};

/// The row of `name` (lower case), or null for a word that is no directive.
inline const DirectiveRow* findDirective(std::string_view name) {
    for (const DirectiveRow& row : directiveTable) {
        if (row.name == name) return &row;
    }
    return nullptr;
}

}  // namespace tasm
