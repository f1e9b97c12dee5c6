"""Reads an XML data packet with Python's own parser and prints the field names and every row's
values, one line each, separated by "|" (line breaks and tabs shown as \\r, \\n and \\t)."""
import sys
import xml.etree.ElementTree as ET

root = ET.parse(sys.argv[1]).getroot()
names = [f.get("FieldName") for f in root.iter("FIELD")]
print("|".join(names))
for row in root.iter("ROW"):
    vals = [row.get(n, "") for n in names]
    print("|".join(v.replace("\r", "\\r").replace("\n", "\\n").replace("\t", "\\t") for v in vals))
