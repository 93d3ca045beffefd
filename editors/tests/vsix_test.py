# SPDX-License-Identifier: GPL-2.0-or-later
# Opens the packed VS Code extension as VS Code does and checks that it
# installs: the zip's manifest files, extension/package.json with the tool
# chain's version, every file package.json names, and the p83 debugger with
# its launch arguments.
#
# usage: python3 vsix_test.py FILE.vsix VERSION
import json
import sys
import zipfile

vsix, version = sys.argv[1], sys.argv[2]
failures = []
with zipfile.ZipFile(vsix) as archive:
    names = set(archive.namelist())
    for needed in ('[Content_Types].xml', 'extension.vsixmanifest', 'extension/package.json'):
        if needed not in names:
            failures.append(f'{needed} is missing')
    manifest = json.loads(archive.read('extension/package.json'))
    if f'Version="{version}"' not in archive.read('extension.vsixmanifest').decode():
        failures.append(f'extension.vsixmanifest does not give version {version}')

if manifest.get('version') != version:
    failures.append(f'package.json has version {manifest.get("version")}, not {version}')
contributes = manifest['contributes']
named = [manifest['main']]
named += [language['configuration'] for language in contributes['languages']]
named += [grammar['path'] for grammar in contributes['grammars']]
for path in named:
    if 'extension/' + path.removeprefix('./') not in names:
        failures.append(f'package.json names {path}, which the .vsix lacks')

languages = {language['id']: language for language in contributes['languages']}
if '.p83' not in languages.get('p83', {}).get('extensions', []):
    failures.append('no language p83 for .p83 files')
if '.asm' not in languages.get('z80-tasm', {}).get('extensions', []):
    failures.append('.asm files do not open as Z80 assembly')
if {'language': 'p83'} not in contributes.get('breakpoints', []):
    failures.append('no breakpoints in .p83 files')
debuggers = {debugger['type']: debugger for debugger in contributes.get('debuggers', [])}
launch = debuggers.get('p83', {}).get('configurationAttributes', {}).get('launch', {})
arguments = {'program', 'files', 'trovikOptions', 'stopOnEntry', 'headless', 'keys', 'timeLimit'}
if not arguments <= set(launch.get('properties', {})):
    failures.append(f'the p83 debugger lacks {sorted(arguments - set(launch.get("properties", {})))}')

for failure in failures:
    print('FAIL:', failure, file=sys.stderr)
if failures:
    sys.exit(1)
print(f'{vsix}: {len(names)} files, installable')
