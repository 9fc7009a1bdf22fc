#!/usr/bin/env python3
"""Checks one run of skyrelay-cli --json: stdout is one JSON document (--lines: JSON Lines)
valid against its schema (a document holding only "error" against error.schema.json), every
stderr line starts with "skyrelay-cli:", and EXPECT, a Python expression over the document d
(lines: the list of them) and the stderr text err, holds.
Usage: check_json.py SCHEMA_DIR SCHEMA OUT ERR EXPECT [--lines]"""
import json
import pathlib
import sys

import jsonschema


def validator(schema_dir, name):
    schemas = {}
    for path in pathlib.Path(schema_dir).glob('*.schema.json'):
        schema = json.loads(path.read_text())
        jsonschema.Draft202012Validator.check_schema(schema)
        schemas[schema['$id']] = schema
    root = json.loads((pathlib.Path(schema_dir) / (name + '.schema.json')).read_text())
    try:  # jsonschema >= 4.18 resolves through a registry, Debian 12's 4.10 through a resolver
        from referencing import Registry, Resource
        registry = Registry().with_resources(
            (uri, Resource.from_contents(s)) for uri, s in schemas.items())
        return (lambda s: jsonschema.Draft202012Validator(
            s, registry=registry, format_checker=jsonschema.FormatChecker()))
    except ImportError:
        resolver = lambda s: jsonschema.RefResolver.from_schema(s, store=schemas)
        return (lambda s: jsonschema.Draft202012Validator(
            s, resolver=resolver(s), format_checker=jsonschema.FormatChecker()))


def main(schema_dir, name, out, err, expect, lines=False):
    text = pathlib.Path(out).read_text()
    errors = pathlib.Path(err).read_text()
    docs = [json.loads(line) for line in text.splitlines()] if lines else [json.loads(text)]
    make = validator(schema_dir, name)
    for doc in docs:
        schema_name = 'error' if set(doc) == {'error'} else name
        schema = json.loads((pathlib.Path(schema_dir) / (schema_name + '.schema.json')).read_text())
        make(schema).validate(doc)
    unprefixed = [l for l in errors.splitlines() if not l.startswith('skyrelay-cli:')]
    if unprefixed:
        sys.exit('stderr lines without the prefix: %r' % unprefixed)
    d = docs if lines else docs[0]
    if not eval(expect, {'d': d, 'err': errors}):
        sys.exit('does not hold: ' + expect)


if __name__ == '__main__':
    args = [a for a in sys.argv[1:] if a != '--lines']
    main(*args, lines='--lines' in sys.argv[1:])
