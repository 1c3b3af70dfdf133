# Reads an export file as a spreadsheet program would, with Python's csv
# module: tab-separated, GBK. Prints each row as a JSON list of its fields
# (ASCII only), then END.
import csv
import json
import sys

with open(sys.argv[1], encoding="gbk", newline="") as export:
    for row in csv.reader(export, delimiter="\t"):
        print(json.dumps(row), flush=True)
print("END", flush=True)
