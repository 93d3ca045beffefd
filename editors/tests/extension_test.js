// SPDX-License-Identifier: GPL-2.0-or-later
// Loads the extension's code against a stand-in for VS Code's API and checks
// that a p83 session starts calcview --dap, and that F5 without a
// launch.json debugs the .p83 in view.
//
// usage: node extension_test.js EXTENSION_DIR
'use strict';

const assert = require('assert');
const Module = require('module');
const path = require('path');

const registered = {};
const vscode = {
  DebugAdapterExecutable: class {
    constructor(command, args) {
      Object.assign(this, { command, args });
    }
  },
  debug: {
    registerDebugAdapterDescriptorFactory: (type, factory) => (registered.factory = { type, factory }),
    registerDebugConfigurationProvider: (type, provider) => (registered.provider = { type, provider }),
  },
  workspace: { getConfiguration: () => ({ get: () => undefined }) },
  window: {
    activeTextEditor: { document: { languageId: 'p83' } },
    showInformationMessage: () => Promise.resolve(),
  },
};
const load = Module._load;
Module._load = (request, ...rest) => (request === 'vscode' ? vscode : load(request, ...rest));

const extension = require(path.resolve(process.argv[2], 'extension.js'));
extension.activate({ subscriptions: [] });

assert.strictEqual(registered.factory.type, 'p83');
const adapter = registered.factory.factory.createDebugAdapterDescriptor({});
assert.deepStrictEqual([adapter.command, adapter.args], ['calcview', ['--dap']]);

assert.strictEqual(registered.provider.type, 'p83');
const session = registered.provider.provider.resolveDebugConfiguration(undefined, {});
assert.deepStrictEqual([session.type, session.request, session.program], ['p83', 'launch', '${file}']);
const named = { type: 'p83', request: 'launch', name: 'x', program: 'catch.p83', headless: true };
assert.strictEqual(registered.provider.provider.resolveDebugConfiguration(undefined, { ...named }).program, 'catch.p83');
console.log('the extension starts calcview --dap for p83 sessions');
