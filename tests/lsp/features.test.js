// Go to definition, hover, completion and document symbols on a small
// workspace: a script that imports a library and declares an extern.
'use strict';

const test = require('node:test');
const assert = require('node:assert/strict');
const { connect, workspace, lsp } = require('./client');

const lib = [
    'export int shared = 3 * 4;', // line 0
    'int private = 1;',
    'sub Helper(float weight = 0.5, int count = 12, string label = "x") {',
    '    F(weight);',
    '}',
].join('\n') + '\n';

const main = [
    'import "lib.ini"', // line 0
    'extern export float gain = audio_gain;',
    'sub Local(bool on = true) { F(on); }',
    'sub main() {',
    '    int x = shared + 1;', // line 4
    '    call Helper(count = x, weight = gain);',
    '    call Local();',
    '    F(x);',
    '}',
].join('\n') + '\n';

async function setUp() {
    const ws = workspace({ 'lib.ini': lib });
    const client = await connect(['--extern', 'audio_gain=0.25']);
    const uri = ws.uri('main.ini');
    assert.deepEqual(await client.open(uri, main), []);
    return { ws, client, uri };
}

const range = (line, start, end) => ({ start: { line, character: start }, end: { line, character: end } });

test('go to definition: calls, variables, parameters, arguments and imports', async () => {
    const { ws, client, uri } = await setUp();
    const libUri = ws.uri('lib.ini');
    const cases = [
        ['a call of an imported subtree', 5, 11, libUri, range(2, 4, 10)],
        ['a call of a subtree of the file', 6, 10, uri, range(2, 4, 9)],
        ['a local variable', 7, 6, uri, range(4, 8, 9)],
        ['an imported exported variable', 4, 13, libUri, range(0, 11, 17)],
        ['an extern', 5, 37, uri, range(1, 20, 24)],
        ['a named argument to its parameter', 5, 17, libUri, range(2, 35, 40)],
        ['a parameter inside its subtree', 2, 30, uri, range(2, 15, 17)],
        ['the path of an import', 0, 9, libUri, range(0, 0, 0)],
    ];
    for (const [what, line, character, targetUri, targetRange] of cases) {
        const found = await client.request(lsp.DefinitionRequest.type, client.at(uri, line, character));
        assert.deepEqual(found, { uri: targetUri, range: targetRange }, what);
    }
    assert.equal(await client.request(lsp.DefinitionRequest.type, client.at(uri, 7, 0)), null);
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('hover: a variable\'s type, kind and value, a call\'s subtree', async () => {
    const { ws, client, uri } = await setUp();
    const cases = [
        ['an exported constant from an import', 4, 14,
            ['int shared', 'exported variable', 'value: `12`', 'declared in `lib.ini`']],
        ['a local whose value is constant', 7, 6, ['int x', 'local variable', 'value: `13`']],
        ['an extern with its key', 5, 38, ['float gain', 'exported extern variable, key \'audio_gain\'']],
        ['a parameter', 2, 31, ['bool on', 'parameter', 'default: `true`']],
        ['a call', 5, 12, ['sub Helper(float weight = 0.5, int count = 12, string label = "x")', 'defined in `lib.ini`']],
    ];
    for (const [what, line, character, parts] of cases) {
        const hover = await client.request(lsp.HoverRequest.type, client.at(uri, line, character));
        assert.equal(hover.contents.kind, 'markdown', what);
        for (const part of parts)
            assert.ok(hover.contents.value.includes(part), `${what}: ${part} in ${hover.contents.value}`);
    }
    const parameter = await client.request(lsp.HoverRequest.type, client.at(uri, 2, 31));
    assert.ok(!parameter.contents.value.includes('value:'), 'a parameter is never constant');
    assert.equal(await client.request(lsp.HoverRequest.type, client.at(uri, 3, 11)), null); // '{'
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('completion: subtrees after call, parameters in its parentheses, variables and built-ins elsewhere', async () => {
    const { ws, client, uri } = await setUp();
    const labels = async (text, line, character) => {
        await client.change(uri, text);
        const items = await client.request(lsp.CompletionRequest.type, client.at(uri, line, character));
        return items;
    };
    const afterCall = await labels(main.replace('    call Local();', '    call '), 6, 9);
    assert.deepEqual(afterCall.map((i) => i.label).sort(), ['Helper', 'Local', 'main']);
    assert.equal(afterCall.find((i) => i.label === 'Helper').detail,
        'sub Helper(float weight = 0.5, int count = 12, string label = "x")');
    const inParentheses = await labels(main.replace('    call Local();', '    call Helper(count = 1, '), 6, 27);
    assert.deepEqual(inParentheses.map((i) => [i.label, i.insertText, i.detail]), [
        ['weight', 'weight = ', 'float weight = 0.5'],
        ['count', 'count = ', 'int count = 12'],
        ['label', 'label = ', 'string label = "x"'],
    ]);
    const withExtern = await labels(main.replace('sub Local(bool on = true)', 'sub Local(float on = gain * 2.0)')
        .replace('    call Local();', '    call Local('), 6, 15);
    assert.deepEqual(withExtern.map((i) => i.detail), ['float on = gain * 2.0'], 'a default that is no constant, as written');
    const inExpression = await labels(main.replace('    F(x);', '    F(x + '), 7, 12);
    const names = inExpression.map((i) => i.label);
    for (const visible of ['x', 'shared', 'gain', 'sin', 'normalize', 'true'])
        assert.ok(names.includes(visible), visible);
    for (const hidden of ['private', 'weight', 'on'])
        assert.ok(!names.includes(hidden), hidden);
    assert.equal(inExpression.find((i) => i.label === 'x').detail, 'int, local variable');
    const inComment = await labels(main.replace('    F(x);', '    // call '), 7, 12);
    assert.deepEqual(inComment, []);
    assert.equal(await client.stop(), 0);
    ws.remove();
});

test('document symbols: subtrees with their parameters, top-level variables', async () => {
    const { ws, client, uri } = await setUp();
    const symbols = await client.request(lsp.DocumentSymbolRequest.type, { textDocument: { uri } });
    const shape = (s) => [s.name, s.kind, s.range.start.line, s.range.end.line, (s.children || []).map((c) => c.name)];
    assert.deepEqual(symbols.map(shape), [
        ['gain', 13, 1, 1, []],
        ['Local', 12, 2, 2, ['on']],
        ['main', 12, 3, 8, []],
    ]);
    assert.deepEqual(symbols[1].selectionRange, range(2, 4, 9));
    assert.equal(await client.stop(), 0);
    ws.remove();
});
