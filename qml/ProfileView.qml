import QtQuick 2.12
import QtQuick.Layouts 1.12
import Qt3D.Core 2.12
import Qt3D.Render 2.12
import Qt3D.Extras 2.12
import Folvane 0.1
import "basic_items"

// The main window's 3D view of the blade definition: profile outlines,
// region boundary lines and webs.
FV_View3D {
    id: view
    property var profiles: kblade.Models[KBlade.Profiles]
    onInitialViewSet: if (profiles) Qt.callLater(profiles.clearOldPro3D)

    // New geometry from the current profiles, then the initial view.
    function update() {
        profiles.genPro3D()
        bounds = kblade.bladeBounds()
        initialView()
    }

    tools: [
        FV_Checkbox { id: foil; text: "Foil"; checked: true },
        FV_Checkbox { id: region; text: "Region"; checked: true },
        FV_Checkbox { id: web; text: "Web"; checked: true },
        FV_Icon_Button { objectName: "updateView"; text: "Update"; iconSource: "qrc:/icons/update.svg"; onClicked: view.update() }
    ]

    PhongMaterial { id: outlineMaterial; ambient: "#263238"; diffuse: "#263238"; specular: "black" }
    PhongMaterial { id: keyMaterial; ambient: "#C62828"; diffuse: "#C62828"; specular: "black" }
    PhongMaterial { id: webMaterial; ambient: "#1E88E5"; diffuse: "#64B5F6"; specular: "black" }
    Entity {
        enabled: foil.checked
        components: view.profiles && view.profiles.Pro3D ? [view.profiles.Pro3D, outlineMaterial] : []
    }
    Entity {
        enabled: region.checked
        components: view.profiles && view.profiles.KeyLine ? [view.profiles.KeyLine, keyMaterial] : []
    }
    Entity {
        enabled: web.checked
        components: view.profiles && view.profiles.WebRender ? [view.profiles.WebRender, webMaterial] : []
    }
}
