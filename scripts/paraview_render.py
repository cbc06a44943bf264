# Renders a Folvane .vtu with ParaView: the deformed blade coloured by a
# cell array. Usage: pvpython paraview_render.py in.vtu out.png [array] [scale]
import sys
from paraview.simple import (XMLUnstructuredGridReader, WarpByVector, Show, Render, GetActiveViewOrCreate,
                             ColorBy, SaveScreenshot, ResetCamera, GetColorTransferFunction, GetScalarBar)

source, target = sys.argv[1], sys.argv[2]
array = sys.argv[3] if len(sys.argv) > 3 else "VonMises"
scale = float(sys.argv[4]) if len(sys.argv) > 4 else 20.0

reader = XMLUnstructuredGridReader(FileName=[source])
reader.UpdatePipeline()
shown = reader
if "Displacement" in reader.PointData.keys():
    shown = WarpByVector(Input=reader, Vectors=["POINTS", "Displacement"], ScaleFactor=scale)
view = GetActiveViewOrCreate("RenderView")
view.ViewSize = [1600, 900]
if hasattr(view, "UseColorPaletteForBackground"):
    view.UseColorPaletteForBackground = 0
view.Background = [1, 1, 1]
view.OrientationAxesVisibility = 1
display = Show(shown, view)
ColorBy(display, ("CELLS", array))
display.RescaleTransferFunctionToDataRange(True, False)
display.SetScalarBarVisibility(view, True)
GetScalarBar(GetColorTransferFunction(array), view).TitleColor = [0, 0, 0]
GetScalarBar(GetColorTransferFunction(array), view).LabelColor = [0, 0, 0]
# Looking at the pressure side (+y towards the camera): root on the left,
# tip on the right, the trailing edge (+x) up.
view.CameraPosition = [0, 100000, 0]
view.CameraFocalPoint = [0, 0, 0]
view.CameraViewUp = [1, 0, 0]
ResetCamera(view)
view.GetActiveCamera().Zoom(1.7)
Render(view)
SaveScreenshot(target, view, ImageResolution=[1600, 900], TransparentBackground=0)
