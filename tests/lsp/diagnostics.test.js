// Diagnostics as the tool reports them, at exact UTF-16 ranges: published on
// open, change and save, cleared when fixed or closed, with open documents
// read before the files on disk when a script imports them.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const fs = require('node:fs');
const path = require('node:path');
const { connect, workspace, lsp } = require('./client');

const range = (line, start, end) => ({ start: { line, character: start }, end: { line, character: end } });

test('a broken file fixed by a change, then broken again and closed', async () => {
    const ws = workspace({});
    const client = await connect();
    const uri = ws.uri('main.ini');
    const broken = await client.open(uri, 'sub main() {\n    F(1)\n}\n');
    assert.equal(broken.length, 1);
    assert.equal(broken[0].severity, 1);
    assert.equal(broken[0].source, 'mcscript');
    assert.equal(broken[0].message, "expected ';', '=' or '{' before '}'");
    assert.deepEqual(broken[0].range, range(1, 8, 8)); // where the ';' goes
    assert.deepEqual(await client.change(uri, 'sub main() {\n    F(1);\n}\n'), []);
    const again = await client.change(uri, 'sub main() {\n    call Mian();\n}\n', 3);
    assert.equal(again[0].message, "unknown subtree 'Mian'");
    assert.deepEqual(again[0].range, range(1, 9, 13));
    client.connection.sendNotification(lsp.DidCloseTextDocumentNotification.type, { textDocument: { uri } });
    assert.deepEqual(await client.next(uri), []);
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('columns count UTF-16 code units, whatever stands before the problem', async () => {
    const ws = workspace({});
    const client = await connect();
    const cases = [
        ['ASCII only', 'F("ab", y);', 8],
        ['two-byte letters', 'F("éé", y);', 8],
        ['a three-byte sign', 'F("€", y);', 7],
        ['a character beyond the BMP (a surrogate pair)', 'F("😀", y);', 8],
        ['a tab', '\tF("", y);', 7],
    ];
    for (const [what, line, column] of cases) {
        const uri = ws.uri(`utf16-${cases.findIndex((c) => c[1] === line)}.ini`);
        const found = await client.open(uri, `sub main() {\n${line}\n}\n`);
        assert.equal(found.length, 1, what);
        assert.equal(found[0].message, "unknown name 'y'", what);
        assert.deepEqual(found[0].range, range(1, column, column + 1), what);
    }
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('notes become related information, warnings keep their severity', async () => {
    const ws = workspace({});
    const client = await connect();
    const uri = ws.uri('main.ini');
    const early = await client.open(uri, 'sub main() {\n    call Later();\n}\nsub Later() { }\n');
    assert.equal(early[0].message, "unknown subtree 'Later'");
    assert.match(early[0].relatedInformation[0].message, /defined here/);
    assert.deepEqual(early[0].relatedInformation[0].location, { uri, range: range(3, 4, 9) });
    const bytes = await client.change(uri, 'sub main() { }\n\u00e9\n');
    assert.equal(bytes.length, 1);
    assert.equal(bytes[0].severity, 2);
    assert.match(bytes[0].message, /^byte 0xC3 outside a string or comment ends the game's input here/);
    assert.deepEqual(bytes[0].range, range(1, 0, 1));
    const unread = await client.change(uri, 'sub f(int n = 1) { }\nsub main() { call f(m = 2); }\n');
    assert.deepEqual(unread.map((d) => [d.severity, d.range, d.message]), [
        [2, range(1, 20, 21), "'m' is not a parameter of 'f', so nothing reads it; did you mean 'n'?"],
    ]);
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('imports: relative to the document, open documents first, problems shown at the import', async () => {
    const ws = workspace({
        'lib.ini': 'int hidden = 1;\nsub Helper() { }\n',
        'game/game.ini': 'import "scripts/a.ini"\nsub main() { call A(); }\n',
        'game/scripts/a.ini': 'import "scripts/b.ini"\nsub A() { call B(); }\n',
        'game/scripts/b.ini': 'sub B() { }\n',
    });
    const client = await connect();
    const main = ws.uri('main.ini');
    const lib = ws.uri('lib.ini');
    const source = 'import "lib.ini"\nsub main() {\n    int x = hidden;\n    call Helper();\n}\n';
    const unexported = await client.open(main, source);
    assert.equal(unexported[0].message, "unknown name 'hidden': 'lib.ini' declares it without 'export'");
    // The editor's text of lib.ini, not yet saved, is what main.ini imports.
    await client.open(lib, 'export int hidden = 1;\nsub Helper() { }\n');
    assert.deepEqual(await client.next(main), []);
    const inLib = await client.change(lib, 'export int hidden = 1;\nsub Helper() { F(; }\n');
    assert.equal(inLib.length, 1);
    const atImport = await client.next(main);
    assert.equal(atImport.length, 2); // the failed import declares nothing: 'hidden' is unknown again
    assert.equal(atImport[1].message, "unknown name 'hidden'");
    assert.match(atImport[0].message, /^in imported file 'lib\.ini': unexpected ';'/);
    assert.deepEqual(atImport[0].range, range(0, 7, 16));
    assert.equal(atImport[0].relatedInformation[0].location.uri, lib);
    assert.deepEqual(atImport[0].relatedInformation[0].location.range, inLib[0].range);
    // Closing lib.ini makes main.ini read the file on disk again.
    client.connection.sendNotification(lsp.DidCloseTextDocumentNotification.type, { textDocument: { uri: lib } });
    const [first, second] = [await client.next(main), await client.next(lib)];
    assert.equal(first[0].message, "unknown name 'hidden': 'lib.ini' declares it without 'export'");
    assert.deepEqual(second, []);
    // A script under a folder holding game.ini imports relative to that folder, as the game runs there.
    assert.deepEqual(await client.open(ws.uri('game/scripts/a.ini'), fs.readFileSync(path.join(ws.root, 'game/scripts/a.ini'), 'utf8')), []);
    const missing = await client.open(ws.uri('m.ini'), 'import "nowhere.ini"\n');
    assert.match(missing[0].message, /^cannot open 'nowhere\.ini': No such file or directory/);
    assert.deepEqual(missing[0].range, range(0, 7, 20));
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('saving picks up files changed on disk', async () => {
    const ws = workspace({ 'lib.ini': 'sub Helper() { }\n' });
    const client = await connect();
    const main = ws.uri('main.ini');
    assert.deepEqual(await client.open(main, 'import "lib.ini"\nsub main() { call Helper(); }\n'), []);
    fs.writeFileSync(path.join(ws.root, 'lib.ini'), 'sub Other() { }\n');
    client.connection.sendNotification(lsp.DidSaveTextDocumentNotification.type, { textDocument: { uri: main } });
    const saved = await client.next(main);
    assert.match(saved[0].message, /^unknown subtree 'Helper'/);
    assert.equal(await client.stop(), 0);
    ws.remove();
});
