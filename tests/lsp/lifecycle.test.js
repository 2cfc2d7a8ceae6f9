// The server's lifecycle: what initialize advertises, the exit status with
// and without shutdown, and requests before initialize and after shutdown.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { connect, raw, lsp } = require('./client');

test('initialize advertises exactly the features served', async () => {
    const client = await connect();
    assert.deepEqual(client.initialized.capabilities, {
        textDocumentSync: { openClose: true, change: 1, save: { includeText: false } },
        hoverProvider: true,
        definitionProvider: true,
        documentSymbolProvider: true,
        completionProvider: { triggerCharacters: [' ', '(', ','] },
    });
    assert.equal(client.initialized.serverInfo.name, 'mcscript');
    assert.equal(await client.stop(), 0);
});

test('exit without shutdown ends with status 1', async () => {
    const client = await connect();
    client.connection.sendNotification(lsp.ExitNotification.type);
    assert.equal(await client.exited, 1);
});

test('the end of the input ends the server: 0 after shutdown, 1 before', async () => {
    const before = raw();
    assert.equal(await before.end(), 1);
    const after = raw();
    after.send({ jsonrpc: '2.0', id: 1, method: 'initialize', params: { capabilities: {} } });
    after.send({ jsonrpc: '2.0', id: 2, method: 'shutdown' });
    await after.take(2);
    assert.equal(await after.end(), 0);
});

test('requests before initialize, a second initialize and requests after shutdown are refused', async () => {
    const server = raw();
    server.send({ jsonrpc: '2.0', id: 1, method: 'textDocument/hover', params: {} });
    server.send({ jsonrpc: '2.0', method: 'textDocument/didOpen', params: {} }); // dropped, no answer
    server.send({ jsonrpc: '2.0', id: 2, method: 'initialize', params: { capabilities: {} } });
    server.send({ jsonrpc: '2.0', id: 3, method: 'initialize', params: { capabilities: {} } });
    server.send({ jsonrpc: '2.0', id: 4, method: 'shutdown' });
    server.send({ jsonrpc: '2.0', id: 5, method: 'textDocument/hover', params: {} });
    server.send({ jsonrpc: '2.0', method: 'exit' });
    const [early, first, second, shutdown, late] = await server.take(5);
    assert.deepEqual([early.id, early.error.code], [1, -32002]);
    assert.equal(first.id, 2);
    assert.ok(first.result.capabilities);
    assert.deepEqual([second.id, second.error.code], [3, -32600]);
    assert.deepEqual([shutdown.id, shutdown.result], [4, null]);
    assert.deepEqual([late.id, late.error.code], [5, -32600]);
    assert.equal(await server.exited, 0);
});
