# SPDX-License-Identifier: GPL-2.0-or-later
# Loads the p83 language from LANG_DIR with GtkSourceView 4, highlights FILE
# and prints for each line the context class of each character (comment,
# string or nothing), comma-separated. Fails when the language does not load,
# or is not the one for *.p83 and text/x-trovik-source. GtkSourceView's
# warnings about the file go to standard error.
import sys

import gi

gi.require_version('GtkSource', '4')
from gi.repository import GtkSource  # noqa: E402

language_dir, file = sys.argv[1], sys.argv[2]
manager = GtkSource.LanguageManager()
manager.set_search_path([language_dir] + manager.get_search_path())
language = manager.get_language('p83')
if language is None:
    sys.exit(f'no language p83 in {language_dir}')
for found, what in ((manager.guess_language('x.p83', None), '*.p83'),
                    (manager.guess_language(None, 'text/x-trovik-source'), 'text/x-trovik-source')):
    if found is None or found.get_id() != 'p83':
        sys.exit(f'{what} is not the language p83')

buffer = GtkSource.Buffer.new_with_language(language)
with open(file, encoding='utf-8') as source:
    buffer.set_text(source.read())
buffer.ensure_highlight(buffer.get_start_iter(), buffer.get_end_iter())
for line in range(buffer.get_line_count()):
    place = buffer.get_iter_at_line(line)
    kinds = []
    while not place.ends_line():
        kinds.append(next((c for c in ('comment', 'string') if buffer.iter_has_context_class(place, c)), ''))
        place.forward_char()
    print(','.join(kinds))
