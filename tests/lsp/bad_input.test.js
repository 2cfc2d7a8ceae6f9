// Bad input gets the protocol's error responses, never a crash or a hang, and
// every request is answered in the order it came.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { connect, raw, workspace, lsp } = require('./client');

function started() {
    const server = raw();
    server.send({ jsonrpc: '2.0', id: 0, method: 'initialize', params: { capabilities: {} } });
    return server;
}

test('malformed messages are answered with errors and the server goes on', async () => {
    const server = started();
    await server.take(1);
    const framed = (body) => `Content-Length: ${Buffer.byteLength(body)}\r\n\r\n${body}`;
    const cases = [
        ['a body that is no JSON', framed('{"jsonrpc'), -32700, null],
        ['a header without a length', 'Content-Type: x\r\n\r\n{"jsonrpc":"2.0","id":90,"method":"shutdown"}', -32700, null],
        ['a length that is no number', 'Content-Length: ten\r\n\r\n{}', -32700, null],
        ['an array', framed('[]'), -32600, null],
        ['an object without a method', framed('{"jsonrpc":"2.0","id":true}'), -32600, null],
        ['a method that is no string', framed('{"jsonrpc":"2.0","id":91,"method":7}'), -32600, 91],
        ['no jsonrpc version', framed('{"jsonrpc":"1.0","id":92,"method":"shutdown"}'), -32600, 92],
        ['a version that is no string', framed('{"jsonrpc":2,"id":93,"method":"shutdown"}'), -32600, 93],
    ];
    for (const [what, bytes, code, id] of cases) {
        server.write(bytes);
        const [answer] = await server.take(1);
        assert.equal(answer.error.code, code, what);
        assert.equal(answer.id, id, what);
    }
    server.send({ jsonrpc: '2.0', id: 1, method: 'shutdown' });
    const [shutdown] = await server.take(1);
    assert.deepEqual([shutdown.id, shutdown.result], [1, null]);
    server.write('Content-Length: 99999999999\r\n\r\n'); // too long to hold: skipped, unread
    assert.equal(await server.end(), 0); // and the input ends inside it
});

test('unknown methods, wrong parameters and documents never opened', async () => {
    const ws = workspace({});
    const client = await connect();
    const uri = ws.uri('main.ini');
    await client.open(uri, 'sub main() { }\n');
    const failures = [
        ['unknown method', 'mcscript/nothing', {}, -32601],
        ['no position', 'textDocument/hover', { textDocument: { uri } }, -32602],
        ['negative line', 'textDocument/hover', client.at(uri, -1, 0), -32602],
        ['uri not a string', 'textDocument/definition', { textDocument: { uri: 5 }, position: { line: 0, character: 0 } }, -32602],
        ['params a number', 'textDocument/documentSymbol', 3, -32602],
        ['never opened', 'textDocument/hover', client.at(ws.uri('other.ini'), 0, 0), -32803],
    ];
    for (const [what, method, params, code] of failures) {
        await assert.rejects(client.connection.sendRequest(method, params), (e) => e.code === code, what);
    }
    client.connection.sendNotification('mcscript/unknownNotification', { any: 1 });
    client.connection.sendNotification(lsp.DidChangeTextDocumentNotification.type,
        { textDocument: { uri: ws.uri('other.ini'), version: 1 }, contentChanges: [{ text: 'x' }] });
    const symbols = await client.request(lsp.DocumentSymbolRequest.type, { textDocument: { uri } });
    assert.equal(symbols[0].name, 'main');
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('requests are answered in the order they came', async () => {
    const ws = workspace({});
    const server = started();
    await server.take(1);
    const uri = ws.uri('main.ini');
    server.send({ jsonrpc: '2.0', method: 'textDocument/didOpen',
        params: { textDocument: { uri, languageId: 'mcscript', version: 1, text: 'int a = 1;\nsub main() { }\n' } } });
    const ids = ['a', 1, 'b', 2, 3, 'c'];
    for (const id of ids) {
        server.send({ jsonrpc: '2.0', id, method: id === 2 ? 'no/such' : 'textDocument/documentSymbol',
            params: { textDocument: { uri } } });
        server.send({ jsonrpc: '2.0', method: '$/cancelRequest', params: { id } });
    }
    const answers = (await server.take(ids.length + 1)).filter((m) => m.id !== undefined);
    assert.deepEqual(answers.map((m) => m.id), ids);
    assert.equal(answers[3].error.code, -32601);
    assert.equal(answers[0].result.length, 2);
    server.send({ jsonrpc: '2.0', method: 'exit' });
    assert.equal(await server.exited, 1);
    ws.remove();
});
