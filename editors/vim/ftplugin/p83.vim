" SPDX-License-Identifier: GPL-2.0-or-later
" trovik's .p83 programs: comments are whole lines starting with //.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1
setlocal commentstring=//%s comments=://
let b:undo_ftplugin = 'setlocal commentstring< comments<'
