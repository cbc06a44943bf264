import QtQuick 2.12
import Folvane 0.1
import "../../basic_items"

FV_Manager_Win {
    id: win
    title: "Material Manager"
    width: 1200
    height: 360
    property var list: kblade.Models[KBlade.Materials]
    function openEditor() {
        list.updateModel()
        open()
    }
    FV_Editor {
        window: win
        FV_Item_Table {
            objectName: "materials"
            anchors.fill: parent
            tableModel: win.list ? win.list.TableModel : null
            columns: {
                var c = [{title: "Name", role: "mat", kind: "text"},
                         {title: "Type", role: "type", kind: "combo", width: 220,
                          choices: ["Uniax Material", "Engineering Material"]},
                         {title: "Price", role: "price", kind: "linker", width: 80, tip: "Price per unit mass (per t)"},
                         {title: "Density", role: "density", kind: "linker", width: 80, tip: "Density, t/mm³ (glass/epoxy about 1.9e-9)"}]
                // What each parameter means for a uniax / an engineering material.
                const meaning = [["E, MPa", "E1, MPa"], ["ν", "E2, MPa"], ["unused", "E3, MPa"],
                                 ["unused", "G12, MPa"], ["unused", "G13, MPa"], ["unused", "G23, MPa"],
                                 ["unused", "ν12"], ["unused", "ν13"], ["unused", "ν23"]]
                for (var i = 1; i <= 9; ++i)
                    c.push({title: "Parameter " + i, role: "par" + i, kind: "linker", width: 100,
                            tip: "Uniax Material: " + meaning[i - 1][0] + "; Engineering Material: " + meaning[i - 1][1]})
                const strengths = [["Xt", "fibre tension"], ["Xc", "fibre compression"], ["Yt", "transverse tension"],
                                   ["Yc", "transverse compression"], ["S", "in-plane shear"]]
                for (var k = 0; k < strengths.length; ++k)
                    c.push({title: strengths[k][0], role: strengths[k][0].toLowerCase(), kind: "linker", width: 80,
                            tip: "Ply strength, " + strengths[k][1] + ", MPa (0 or empty: not given)"})
                return c
            }
        }
    }
}
