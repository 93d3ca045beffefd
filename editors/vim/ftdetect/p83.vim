" SPDX-License-Identifier: GPL-2.0-or-later
" trovik's .p83 programs.
autocmd BufRead,BufNewFile *.p83 setfiletype p83
