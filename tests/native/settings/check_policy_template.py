"""The Group Policy template: both files well-formed, every reference resolved, and
each of its two keys naming exactly the settings of the saver's table, with the
table's ranges and defaults. Usage: check_policy_template.py SOURCE_DIR"""
import re, sys
import xml.etree.ElementTree as ET

top = sys.argv[1]
ns = {'p': 'http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions'}
table = re.search(r'kStoredSettings\[\] = \{(.*?)\};', open(f'{top}/saver/sim/stored_settings.h').read(), re.S)
settings = {n: (int(d), int(lo), int(hi)) for n, d, lo, hi in
            re.findall(r'\{"(\w+)",\s*(-?\d+),\s*(-?\d+),\s*(-?\d+)\}', table.group(1))}
admx = ET.parse(f'{top}/installer/policy/VelloranSaver.admx').getroot()
adml = ET.parse(f'{top}/installer/policy/en-US/VelloranSaver.adml').getroot()
strings = {s.get('id') for s in adml.iterfind('.//p:stringTable/p:string', ns)}
presentations = {p.get('id'): p for p in adml.iterfind('.//p:presentationTable/p:presentation', ns)}
categories = {c.get('name') for c in admx.iterfind('.//p:categories/p:category', ns)}
supported = {d.get('name') for d in admx.iterfind('.//p:supportedOn/p:definitions/p:definition', ns)}
errors = []
for e in admx.iter():
    for value in e.attrib.values():
        for kind, ref in re.findall(r'\$\((\w+)\.(\w+)\)', value):
            if ref not in {'string': strings, 'presentation': presentations}.get(kind, ()):
                errors.append(f'$({kind}.{ref}) is not in the ADML')
for e in admx.iterfind('.//p:parentCategory', ns):
    errors += [f'category {e.get("ref")} undefined'] if e.get('ref') not in categories else []
for e in admx.iterfind('.//p:policy/p:supportedOn', ns):
    errors += [f'supportedOn {e.get("ref")} undefined'] if e.get('ref') not in supported else []

keys = {r'Software\Policies\Velloran Screen Saver\VelloranSaver\Settings': [],
        r'Software\Velloran Screen Saver\VelloranSaver\Settings': []}
for policy in admx.iterfind('.//p:policy', ns):
    name, elements = policy.get('name'), list(policy.find('p:elements', ns))
    keys.setdefault(policy.get('key'), []).extend(e.get('valueName') for e in elements)
    controls = {c.get('refId'): c for c in presentations.get(policy.get('presentation', '')[15:-1], [])}
    if sorted(controls) != sorted(e.get('id') for e in elements):
        errors.append(f'{name}: presentation controls do not match its elements')
    for e in elements:
        c = controls.get(e.get('id'), ET.Element('none'))
        default, lo, hi = settings.get(e.get('valueName'), (None, None, None))
        if e.tag.endswith('}enum'):
            got = [int(v.get('value')) for v in e.iterfind('p:item/p:value/p:decimal', ns)]
            shown = (got, int(c.get('defaultItem', -1)))
            wanted = (list(range(lo, hi + 1)), default - lo) if lo is not None else None
        else:
            shown = (int(e.get('minValue', 0)), int(e.get('maxValue', -1)), int(c.get('defaultValue', -1)))
            wanted = (lo, hi, default)
        if shown != wanted:
            errors.append(f'{name}: {e.get("valueName")} offers {shown}, the table {wanted}')
for key, names in keys.items():
    if sorted(names) != sorted(settings):
        errors.append(f'{key} names {sorted(names)}, the table {sorted(settings)}')
print('\n'.join(f'FAIL {e}' for e in errors) or f'PASS policy template names the {len(settings)} settings twice')
sys.exit(1 if errors else 0)
