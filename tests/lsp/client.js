// A small client of mcscript lsp on the libraries VS Code itself uses: it
// starts the server, speaks to it through vscode-jsonrpc and collects the
// diagnostics it publishes. Workspaces are temporary folders of files.
'use strict';

const { spawn } = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { pathToFileURL } = require('node:url');
const rpc = require('vscode-jsonrpc/node');
const lsp = require('vscode-languageserver-protocol');

const server = process.env.MCSCRIPT;
if (!server)
    throw new Error('MCSCRIPT must name the mcscript executable');

function workspace(files) {
    const root = fs.mkdtempSync(path.join(os.tmpdir(), 'mcscript-lsp-'));
    for (const [name, text] of Object.entries(files)) {
        fs.mkdirSync(path.dirname(path.join(root, name)), { recursive: true });
        fs.writeFileSync(path.join(root, name), text);
    }
    return {
        root,
        uri: (name) => pathToFileURL(path.join(root, name)).href,
        remove: () => fs.rmSync(root, { recursive: true, force: true }),
    };
}

function start(args = []) {
    const child = spawn(server, ['lsp', ...args], { stdio: ['pipe', 'pipe', 'pipe'] });
    const exited = new Promise((resolve) => child.on('exit', (code) => resolve(code)));
    return { child, exited };
}

// A connection through the client library, with the published diagnostics
// kept by URI; next(uri) waits for the next publication for that URI.
async function connect(args = [], initialize = true) {
    const { child, exited } = start(args);
    const connection = rpc.createMessageConnection(
        new rpc.StreamMessageReader(child.stdout), new rpc.StreamMessageWriter(child.stdin));
    const waiting = new Map();
    const published = new Map();
    connection.onNotification(lsp.PublishDiagnosticsNotification.type, (params) => {
        const queue = published.get(params.uri) || [];
        queue.push(params.diagnostics);
        published.set(params.uri, queue);
        const resolve = waiting.get(params.uri);
        if (resolve) {
            waiting.delete(params.uri);
            resolve(queue.shift());
        }
    });
    connection.listen();
    const client = {
        child, connection, exited,
        next(uri) {
            const queue = published.get(uri) || [];
            if (queue.length > 0)
                return Promise.resolve(queue.shift());
            return new Promise((resolve) => waiting.set(uri, resolve));
        },
        async open(uri, text) {
            connection.sendNotification(lsp.DidOpenTextDocumentNotification.type,
                { textDocument: { uri, languageId: 'mcscript', version: 1, text } });
            return client.next(uri);
        },
        async change(uri, text, version = 2) {
            connection.sendNotification(lsp.DidChangeTextDocumentNotification.type,
                { textDocument: { uri, version }, contentChanges: [{ text }] });
            return client.next(uri);
        },
        request(type, params) { return connection.sendRequest(type, params); },
        at(uri, line, character) { return { textDocument: { uri }, position: { line, character } }; },
        async stop() {
            await connection.sendRequest(lsp.ShutdownRequest.type);
            connection.sendNotification(lsp.ExitNotification.type);
            const code = await exited;
            connection.dispose();
            return code;
        },
    };
    if (initialize) {
        client.initialized = await connection.sendRequest(lsp.InitializeRequest.type,
            { processId: process.pid, rootUri: null, capabilities: {} });
        connection.sendNotification(lsp.InitializedNotification.type, {});
    }
    return client;
}

// Raw bytes in, the server's messages out through the library's reader: for
// the framing and the bad input no client library would send.
function raw(args = []) {
    const { child, exited } = start(args);
    const reader = new rpc.StreamMessageReader(child.stdout);
    const messages = [];
    let wake = null;
    reader.listen((message) => {
        messages.push(message);
        if (wake) {
            wake();
            wake = null;
        }
    });
    return {
        child, exited, messages,
        write(bytes) { child.stdin.write(bytes); },
        send(message) {
            const body = Buffer.from(JSON.stringify(message), 'utf8');
            child.stdin.write(`Content-Length: ${body.length}\r\n\r\n`);
            child.stdin.write(body);
        },
        async take(count) {
            while (messages.length < count)
                await new Promise((resolve) => { wake = resolve; });
            return messages.splice(0, count);
        },
        end() { child.stdin.end(); return exited; },
    };
}

module.exports = { workspace, connect, raw, lsp };
