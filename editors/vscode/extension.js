// Starts the language server, `mcscript lsp`, over standard input and output
// for every document of the mcscript language. The executable and its extra
// arguments (such as "--extern KEY=VALUE") come from the settings
// mcscript.server.path and mcscript.server.arguments.
'use strict';

const vscode = require('vscode');
const { LanguageClient, TransportKind } = require('vscode-languageclient/node');

let client;

function activate(context) {
    const settings = vscode.workspace.getConfiguration('mcscript.server');
    const command = settings.get('path') || 'mcscript';
    const server = {
        command,
        args: ['lsp', ...settings.get('arguments', [])],
        transport: TransportKind.stdio,
    };
    const clientOptions = {
        documentSelector: [{ scheme: 'file', language: 'mcscript' }, { scheme: 'untitled', language: 'mcscript' }],
    };
    client = new LanguageClient('mcscript', 'Mire Crest script', server, clientOptions);
    client.start().catch((error) => {
        vscode.window.showErrorMessage(
            `Could not start '${command} lsp': ${error.message}. Set mcscript.server.path to the mcscript executable.`);
    });
    context.subscriptions.push({ dispose: () => client && client.stop() });
}

function deactivate() {
    return client ? client.stop() : undefined;
}

module.exports = { activate, deactivate };
