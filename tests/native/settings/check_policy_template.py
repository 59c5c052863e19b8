# The Group Policy template: well-formed, each key naming the table's settings with their ranges and defaults.
import re, sys, xml.etree.ElementTree as ET

top, ns = sys.argv[1], {'p': 'http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions'}
table = re.search(r'kSettings\[\] = \{(.*?)\n\};', open(f'{top}/saver/settings/settings_table.h').read(), re.S)
settings = {n: (int(d), int(lo), int(hi)) for n, d, lo, hi in
            re.findall(r'\{"(\w+)",\s*(-?\d+),\s*(-?\d+),\s*(-?\d+),', table.group(1))}
admx = ET.parse(f'{top}/installer/policy/VelloranSaver.admx').getroot()
adml = ET.parse(f'{top}/installer/policy/en-US/VelloranSaver.adml').getroot()
presentations = {p.get('id'): p for p in adml.iterfind('.//p:presentationTable/p:presentation', ns)}
errors = []
keys = {r'Software\Policies\Velloran Screen Saver\VelloranSaver\Settings': [],
        r'Software\Velloran Screen Saver\VelloranSaver\Settings': []}
for policy in admx.iterfind('.//p:policy', ns):
    name, elements = policy.get('name'), list(policy.find('p:elements', ns))
    keys.setdefault(policy.get('key'), []).extend(e.get('valueName') for e in elements)
    controls = {c.get('refId'): c for c in presentations.get(policy.get('presentation', '')[15:-1], [])}
    if sorted(controls) != sorted(e.get('id') for e in elements):
        errors.append(f'{name}: presentation controls do not match its elements')
    for e in elements:
        c, (default, lo, hi) = controls.get(e.get('id'), ET.Element('none')), settings.get(e.get('valueName'), (0, 0, -1))
        if e.tag.endswith('}enum'):
            shown = ([int(v.get('value')) for v in e.iterfind('p:item/p:value/p:decimal', ns)], c.get('defaultItem'))
            wanted = (list(range(lo, hi + 1)), str(default - lo))
        else:
            shown = (e.get('minValue'), e.get('maxValue'), c.get('defaultValue'))
            wanted = (str(lo), str(hi), str(default))
        if shown != wanted:
            errors.append(f'{name}: {e.get("valueName")} offers {shown}, the table {wanted}')
errors += [f'{key} names {sorted(names)}, the table {sorted(settings)}'
           for key, names in keys.items() if sorted(names) != sorted(settings)]
print('\n'.join(f'FAIL {e}' for e in errors) or f'PASS policy template names the {len(settings)} settings twice')
sys.exit(1 if errors else 0)
