# Reads a VTK XML file with VTK's own reader and prints what they found as
# JSON: a .vtu as its points, cells and arrays; a .pvd as its datasets.
import json
import math
import os
import sys
import xml.etree.ElementTree

import vtk


def number(v):
    return None if isinstance(v, float) and math.isnan(v) else v


def array(a):
    n = a.GetNumberOfComponents()
    out = {"type": a.GetDataTypeAsString(), "components": n,
           "componentNames": [a.GetComponentName(c) or "" for c in range(n)] if n > 1 else []}
    if isinstance(a, vtk.vtkStringArray):
        out["values"] = [a.GetValue(i) for i in range(a.GetNumberOfValues())]
    else:
        out["values"] = [number(a.GetValue(i)) for i in range(a.GetNumberOfValues())]
    return out


def arrays(data):
    return {data.GetAbstractArray(i).GetName(): array(data.GetAbstractArray(i))
            for i in range(data.GetNumberOfArrays())}


def grid(g):
    points = g.GetPoints().GetData()
    cells = []
    for c in range(g.GetNumberOfCells()):
        ids = vtk.vtkIdList()
        g.GetCellPoints(c, ids)
        cells.append([g.GetCellType(c)] + [ids.GetId(i) for i in range(ids.GetNumberOfIds())])
    return {"points": [points.GetValue(i) for i in range(points.GetNumberOfValues())],
            "pointType": points.GetDataTypeAsString(), "cells": cells,
            "pointData": arrays(g.GetPointData()), "cellData": arrays(g.GetCellData()),
            "fieldData": arrays(g.GetFieldData())}


def read_vtu(path):
    reader = vtk.vtkXMLUnstructuredGridReader()
    reader.SetFileName(path)
    reader.Update()
    if reader.GetErrorCode() != 0 or reader.GetOutput().GetNumberOfPoints() == 0:
        raise SystemExit("VTK cannot read " + path)
    return grid(reader.GetOutput())


def read_pvd(path):
    # VTK's Python has no reader of ParaView's collections (ParaView's own
    # does what this does): the XML read as it is, every dataset with VTK.
    root = xml.etree.ElementTree.parse(path).getroot()
    if root.get("type") != "Collection":
        raise SystemExit("not a collection: " + path)
    folder = os.path.dirname(path)
    return {"datasets": [{"timestep": float(d.get("timestep")), "file": d.get("file"),
                          "dataset": read_vtu(os.path.join(folder, d.get("file")))}
                         for d in root.iter("DataSet")]}


path = sys.argv[1]
print(json.dumps(read_pvd(path) if path.endswith(".pvd") else read_vtu(path)))
