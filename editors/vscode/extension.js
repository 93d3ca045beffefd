// SPDX-License-Identifier: GPL-2.0-or-later
// Starts calcview as the debug adapter of "p83" sessions, and offers a
// session for the .p83 file in view when there is no launch.json.
'use strict';

const vscode = require('vscode');

/** calcview started as `calcview --dap`; a bare name is looked up on PATH. */
class CalcviewAdapterFactory {
  createDebugAdapterDescriptor() {
    const program = vscode.workspace.getConfiguration('trovik').get('calcviewPath') || 'calcview';
    return new vscode.DebugAdapterExecutable(program, ['--dap']);
  }
}

/** Fills in a launch of the .p83 in view when F5 finds no configuration. */
class ProgramInViewProvider {
  resolveDebugConfiguration(folder, config) {
    if (!config.type && !config.request && !config.name) {
      const editor = vscode.window.activeTextEditor;
      if (editor && editor.document.languageId === 'p83') {
        config.type = 'p83';
        config.request = 'launch';
        config.name = 'Debug the .p83 program';
        config.program = '${file}';
        config.stopOnEntry = true;
      }
    }
    if (!config.program) {
      return vscode.window.showInformationMessage('Open a .p83 program, or name one as "program" in launch.json.')
        .then(() => undefined);
    }
    return config;
  }
}

function activate(context) {
  context.subscriptions.push(
    vscode.debug.registerDebugAdapterDescriptorFactory('p83', new CalcviewAdapterFactory()),
    vscode.debug.registerDebugConfigurationProvider('p83', new ProgramInViewProvider()));
}

function deactivate() {}

module.exports = { activate, deactivate };
