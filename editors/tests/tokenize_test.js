// SPDX-License-Identifier: GPL-2.0-or-later
// Highlights .p83 files with an editor's own highlighter and checks what it
// made of them: every statement keyword of the translator's table is a
// keyword, every // line a comment, every "text" a string, and inside asm{
// blocks Z80 instructions are keywords and ; starts a comment. The files are
// the examples and one made here with every keyword of the table.
//
// usage: node tokenize_test.js textmate|vim|nvim|gtksourceview EDITORS_BUILD_DIR FILE...
// (textmate needs vscode-textmate and vscode-oniguruma on NODE_PATH)
'use strict';

const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync, spawnSync } = require('child_process');

const [editor, built, ...files] = process.argv.slice(2);
const table = fs.readFileSync(path.join(built, 'keywords.txt'), 'utf8').split('\n').filter(Boolean);
const words = new Set(table.map((k) => (/^[a-z]+/.exec(k) || [])[0]).filter(Boolean));
const mnemonics = new Set(['ld', 'call', 'ret', 'jp', 'jr', 'push', 'pop', 'inc', 'dec', 'add', 'xor']);

/** Every keyword of the table as a line of its own, in small and capital letters. */
function tableFile(directory) {
  const lines = ['// every statement of the table', 'program table;', 'begin'];
  for (const keyword of table.filter((k) => /^[a-z]/.test(k))) {
    for (const line of [keyword, '\t' + keyword.toUpperCase()]) {
      lines.push(line);
      if (keyword.startsWith('asm')) lines.push('\tld a, 5 ; five', '\tcall _clrlcdfull', '}');
    }
  }
  lines.push('write(0000,0000,name,"a text");', 'end.', 'EOF', '');
  const file = path.join(directory, 'table.p83');
  fs.writeFileSync(file, lines.join('\n'));
  return file;
}

/** What each line should hold: [column, length, kind] runs. */
function expectedRuns(lines) {
  let inAssembly = false;
  return lines.map((text) => {
    const runs = [];
    if (inAssembly) {
      if (text === '}') {
        inAssembly = false;
        return runs;
      }
      const mnemonic = /^(\s*)([a-z]+)\b/.exec(text);
      if (mnemonic && mnemonics.has(mnemonic[2])) runs.push([mnemonic[1].length, mnemonic[2].length, 'keyword']);
      const comment = text.indexOf(';');
      if (comment >= 0) runs.push([comment, text.length - comment, 'comment']);
      return runs;
    }
    const comment = /^\s*\/\//.exec(text);
    if (comment) return [[comment[0].length - 2, text.length - comment[0].length + 2, 'comment']];
    const statement = /^(\s*)([A-Za-z]+)[({;.]/.exec(text);
    if (statement && words.has(statement[2].toLowerCase())) {
      runs.push([statement[1].length, statement[2].length, 'keyword']);
      inAssembly = /^\s*asm\{/i.test(text);
    }
    for (const string of text.matchAll(/"[^"]*"/g)) runs.push([string.index, string[0].length, 'string']);
    return runs;
  });
}

/** The kind the editor gave each character of each line. */
const highlighters = {
  async textmate(file, lines) {
    const textmate = require('vscode-textmate');
    const oniguruma = require('vscode-oniguruma');
    const wasm = fs.readFileSync(path.join(path.dirname(require.resolve('vscode-oniguruma')), 'onig.wasm'));
    await oniguruma.loadWASM(wasm.buffer);
    const grammars = {
      'source.p83': path.join(built, 'vsix/extension/syntaxes/p83.tmLanguage.json'),
      'source.z80.tasm': path.join(built, 'vsix/extension/syntaxes/z80-tasm.tmLanguage.json'),
    };
    const registry = new textmate.Registry({
      onigLib: Promise.resolve({
        createOnigScanner: (patterns) => new oniguruma.OnigScanner(patterns),
        createOnigString: (text) => new oniguruma.OnigString(text),
      }),
      loadGrammar: async (scope) =>
        grammars[scope] && textmate.parseRawGrammar(fs.readFileSync(grammars[scope], 'utf8'), grammars[scope]),
    });
    const grammar = await registry.loadGrammar('source.p83');
    let stack = textmate.INITIAL;
    return lines.map((text) => {
      const result = grammar.tokenizeLine(text, stack);
      stack = result.ruleStack;
      const kinds = [];
      for (const token of result.tokens) {
        const kind = ['comment', 'string', 'keyword'].find((k) => token.scopes.some((s) => s.startsWith(k)));
        for (let c = token.startIndex; c < token.endIndex; ++c) kinds[c] = kind || 'other';
      }
      return kinds;
    });
  },
  vim: (file) => vimKinds('vim', file),
  nvim: (file) => vimKinds('nvim', file),
  gtksourceview(file) {
    const script = path.join(__dirname, 'gtksourceview_classes.py');
    const run = spawnSync('/usr/bin/python3', [script, path.join(built, 'gtksourceview'), file], { encoding: 'utf8' });
    if (run.status !== 0 || run.stderr) throw new Error(`GtkSourceView on ${file}: ${run.stderr || run.status}`);
    return run.stdout.split('\n').slice(0, -1).map((line) => line.split(',').map((k) => k || 'other'));
  },
};

const vimGroups = { Comment: 'comment', String: 'string', Statement: 'keyword', Keyword: 'keyword' };

/** Vim's or Neovim's highlight groups, read with synIDattr in silent Ex mode. */
function vimKinds(program, file) {
  const output = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'p83-vim-')), 'groups');
  execFileSync(program, ['-es', '-N', '-u', 'NONE', '-i', 'NONE',
    '--cmd', `set runtimepath^=${path.join(built, 'vim')}`, '--cmd', 'filetype plugin on', '--cmd', 'syntax on',
    '--cmd', `let g:syntax_groups_file = '${output}'`, '-c', `source ${path.join(__dirname, 'syntax_groups.vim')}`,
    '-c', 'qall!', file], { stdio: ['ignore', 'inherit', 'inherit'] });
  const [settings, ...lines] = fs.readFileSync(output, 'utf8').split('\n').slice(0, -1);
  if (settings !== 'p83 //%s') throw new Error(`${program}: filetype and commentstring are "${settings}"`);
  return lines.map((line) => line.split(',').map((group) => vimGroups[group] || 'other'));
}

async function main() {
  const directory = fs.mkdtempSync(path.join(os.tmpdir(), 'p83-tokenize-'));
  let failures = 0;
  let checked = 0;
  for (const file of [...files, tableFile(directory)]) {
    const lines = fs.readFileSync(file, 'utf8').replace(/\n$/, '').split('\n');
    const kinds = await highlighters[editor](file, lines);
    expectedRuns(lines).forEach((runs, index) => {
      for (const [column, length, kind] of runs) {
        // GtkSourceView tells comments and strings apart by class; keywords only by colour.
        if (editor === 'gtksourceview' && kind === 'keyword') continue;
        ++checked;
        const got = (kinds[index] || []).slice(column, column + length);
        if (got.length === length && got.every((k) => k === kind)) continue;
        ++failures;
        console.error(`${path.basename(file)}:${index + 1}:${column + 1}: ${editor} shows ` +
          `"${lines[index].substr(column, length)}" as ${got.join(' ') || 'nothing'}, not as a ${kind}`);
      }
    });
  }
  fs.rmSync(directory, { recursive: true, force: true });
  if (failures > 0) process.exit(1);
  console.log(`${editor}: ${checked} keywords, comments and strings, all as they should be`);
}

main().catch((error) => {
  console.error(error.stack || String(error));
  process.exit(1);
});
