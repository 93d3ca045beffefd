" SPDX-License-Identifier: GPL-2.0-or-later
" Writes to g:syntax_groups_file the buffer's filetype and commentstring,
" then for each line the highlight group of each character, comma-separated.
" String is linked to Constant by default, as numbers are: keep it apart.
highlight! link String NONE
let s:lines = [&filetype . ' ' . &commentstring]
for s:line in range(1, line('$'))
  let s:groups = []
  for s:column in range(1, len(getline(s:line)))
    call add(s:groups, synIDattr(synIDtrans(synID(s:line, s:column, 1)), 'name'))
  endfor
  call add(s:lines, join(s:groups, ','))
endfor
call writefile(s:lines, g:syntax_groups_file)
