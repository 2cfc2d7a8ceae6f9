// A settings file (game.ini, or any document with --settings): the settings
// lint's warnings beside the parse's diagnostics, hover on its keys, and the
// keys offered where main and its SkuOverride sections hold statements.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { connect, workspace, lsp } = require('./client');

const settings = [
    'import "memory.ini"', // line 0
    'int width = 1280;',
    'sub main() {',
    '  GameNme(\'Mire Crest\');', // misspelt
    '  AppId(\'480\');', // line 4: a string where an int is read
    '  call Memory();',
    '  Display(width) {',
    '    Title() = \'x\'',
    '  }',
    '  SkuOverride(\'\') {', // line 9
    '    Region(\'EU\');',
    '    TextureStreamMem_pc(768);',
    '  }',
    '  // Locale(\'Es\');',
    '}',
].join('\n') + '\n';

const memory = 'sub Memory() {\n  GPUMme(512);\n}\n';

const range = (line, start, end) => ({ start: { line, character: start }, end: { line, character: end } });

async function setUp(name = 'Game.INI', args = []) {
    const ws = workspace({ 'memory.ini': memory });
    const client = await connect(args);
    const uri = ws.uri(name);
    const diagnostics = await client.open(uri, settings);
    return { ws, client, uri, diagnostics };
}

test('a file named game.ini (any case) gets the settings lint\'s warnings', async () => {
    const { ws, client, uri, diagnostics } = await setUp();
    assert.deepEqual(diagnostics.map((d) => [d.severity, d.range, d.message]), [
        [2, range(3, 2, 9), "'GameNme' is not a setting; did you mean 'GameName'?"],
        [2, range(4, 2, 7), "'AppId' takes an int but got a string; the setting keeps its default (0)"],
        [2, range(0, 0, 0), "in 'memory.ini': 'GPUMme' is not a setting; did you mean 'GPUMem'?"],
    ]);
    assert.deepEqual(diagnostics[2].relatedInformation,
        [{ location: { uri: ws.uri('memory.ini'), range: range(1, 2, 8) },
            message: "'GPUMme' is not a setting; did you mean 'GPUMem'?" }]);
    const fixed = settings.replace('GameNme', 'GameName').replace('AppId(\'480\')', 'AppId(480)');
    assert.equal((await client.change(uri, fixed)).length, 1, 'fixed warnings are cleared');
    const broken = await client.change(uri, fixed.replace('width) {', 'width {'));
    assert.equal(broken[0].severity, 1, 'a file that does not parse has its parse errors');
    assert.deepEqual((await client.change(uri, 'sub Main() { }\n')).map((d) => [d.severity, d.range, d.message]),
        [[1, range(0, 0, 0), "no subtree 'main' in 'Game.INI'"]]);
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('other documents are linted only with --settings', async () => {
    const plain = await setUp('main.ini');
    assert.deepEqual(plain.diagnostics, []);
    assert.equal(await plain.client.request(lsp.HoverRequest.type, plain.client.at(plain.uri, 10, 5)), null);
    assert.equal(await plain.client.stop(), 0);
    plain.ws.remove();
    const everywhere = await setUp('main.ini', ['--settings']);
    assert.equal(everywhere.diagnostics.length, 3);
    assert.equal(await everywhere.client.stop(), 0);
    everywhere.ws.remove();
});

test('hover on a key: its type, default and meaning from the key table', async () => {
    const { ws, client, uri } = await setUp();
    const cases = [
        ['a key in a section', 10, 6, range(10, 4, 10), ['Region(string)', 'string, default empty', 'travels to the game']],
        ['a _pc variant', 11, 8, range(11, 4, 23),
            ['TextureStreamMem_pc(int)', 'int, default 0', 'texture streaming budget', 'PC variant of `TextureStreamMem`']],
        ['a key with a wrong argument', 4, 2, range(4, 2, 7), ['AppId(int)', 'Steam']],
    ];
    for (const [what, line, character, at, parts] of cases) {
        const hover = await client.request(lsp.HoverRequest.type, client.at(uri, line, character));
        assert.ok(hover, what);
        assert.deepEqual(hover.range, at, what);
        for (const part of parts)
            assert.ok(hover.contents.value.includes(part), `${what}: ${part} in ${hover.contents.value}`);
    }
    for (const [what, line, character] of [['a misspelt key', 3, 4], ['a key in a comment', 13, 7], ['a string', 10, 12]])
        assert.equal(await client.request(lsp.HoverRequest.type, client.at(uri, line, character)), null, what);
    const variable = await client.request(lsp.HoverRequest.type, client.at(uri, 6, 11));
    assert.match(variable.contents.value, /int width/, 'variables keep their own hover');
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('completion offers the keys in main and its SkuOverride sections only', async () => {
    const { ws, client, uri } = await setUp();
    const complete = (line, character) => client.request(lsp.CompletionRequest.type, client.at(uri, line, character));
    const cases = [
        ['a statement of main', 5, 2, true],
        ['a statement of a section', 10, 4, true],
        ['a statement inside another statement\'s block', 7, 4, false],
        ['an argument', 6, 10, false],
    ];
    for (const [what, line, character, keys] of cases) {
        const labels = (await complete(line, character)).map((i) => i.label);
        assert.equal(labels.includes('GameName') && labels.includes('VirtualMem_pc'), keys, what);
        assert.ok(labels.includes('width'), `${what}: the variables stay`);
    }
    const items = await complete(5, 2);
    assert.deepEqual(['AppId', 'FreeResourceLoading', 'CrashCanShowMessageBox'].map((k) => items.find((i) => i.label === k).detail),
        ['int, default 0', 'set by its presence, default off', 'int, default not set']);
    assert.equal(await client.stop(), 0);
    ws.remove();
});
