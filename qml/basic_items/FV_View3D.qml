import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import QtQuick.Scene3D 2.12
import Qt3D.Core 2.12
import Qt3D.Render 2.12
import Qt3D.Input 2.12
import Qt3D.Extras 2.12
import "FVstyle.js" as FVstyle

// A 3D view of the blade: one orthographic camera with an orbit controller,
// and the view actions. The shown entities go in as children.
ColumnLayout {
    id: view3d
    default property alias content: sceneRoot.childNodes
    property alias tools: toolRow.data
    property real startLoc: 0
    property real endLoc: 10000
    // Called when the initial view is set: the old geometry can go.
    signal initialViewSet()
    spacing: 2

    function initialView() {
        const s = startLoc, e = endLoc
        const length = Math.max(e - s, 1)
        controller.linearSpeed = length / 3
        controller.lookSpeed = length / 20
        setTop(0.6 * length)
        camera.position = Qt.vector3d(length / 2, length / 2, (s + e) / 2 + 0.5 * length)
        camera.viewCenter = Qt.vector3d(0, 0, (s + e) / 2)
        camera.upVector = Qt.vector3d(0, 1, 0)
        initialViewSet()
    }
    function setTop(top) {
        const aspect = scene.width > 0 && scene.height > 0 ? scene.width / scene.height : 1
        camera.top = top
        camera.bottom = -top
        camera.right = top * aspect
        camera.left = -camera.right
        camera.farPlane = 10 * top
        camera.nearPlane = 0.001 * top
    }
    // Looks at the view centre from the given side, at the same distance.
    function lookFrom(direction, up) {
        const distance = camera.position.minus(camera.viewCenter).length()
        camera.position = camera.viewCenter.plus(direction.times(distance))
        camera.upVector = up
    }

    // The view's actions and its own tools, wrapping when the view is narrow.
    Flow {
        id: toolRow
        Layout.fillWidth: true
        spacing: 2
        FV_Icon_Button { text: "Zoom in"; iconSource: "qrc:/icons/zoom_in.svg"; onClicked: view3d.setTop(camera.top * 0.9) }
        FV_Icon_Button { text: "Zoom out"; iconSource: "qrc:/icons/zoom_out.svg"; onClicked: view3d.setTop(camera.top * 1.1) }
        FV_Icon_Button { text: "Reset view"; iconSource: "qrc:/icons/reset_view.svg"; onClicked: view3d.initialView() }
        FV_Icon_Button { text: "View all"; iconSource: "qrc:/icons/view_all.svg"; onClicked: camera.viewAll() }
        FV_Icon_Button { text: "Top view"; iconSource: "qrc:/icons/view_top.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, 1, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Bottom view"; iconSource: "qrc:/icons/view_bottom.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, -1, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Left view"; iconSource: "qrc:/icons/view_left.svg"; onClicked: view3d.lookFrom(Qt.vector3d(-1, 0, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Right view"; iconSource: "qrc:/icons/view_right.svg"; onClicked: view3d.lookFrom(Qt.vector3d(1, 0, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Front view"; iconSource: "qrc:/icons/view_front.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, 0, 1), Qt.vector3d(0, 1, 0)) }
        FV_Icon_Button { text: "Back view"; iconSource: "qrc:/icons/view_back.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, 0, -1), Qt.vector3d(0, 1, 0)) }
    }

    Rectangle {
        Layout.fillWidth: true
        Layout.fillHeight: true
        border.color: FVstyle.textBoxBorder
        color: "white"
        Scene3D {
            id: scene
            anchors.fill: parent
            anchors.margins: 1
            aspects: ["input", "logic"]
            cameraAspectRatioMode: Scene3D.UserAspectRatio
            focus: true
            onWidthChanged: view3d.setTop(camera.top)
            onHeightChanged: view3d.setTop(camera.top)
            Entity {
                id: sceneRoot
                components: [
                    RenderSettings {
                        activeFrameGraph: ForwardRenderer {
                            clearColor: "white"
                            camera: camera
                        }
                    },
                    InputSettings {}
                ]
                Camera {
                    id: camera
                    projectionType: CameraLens.OrthographicProjection
                }
                OrbitCameraController {
                    id: controller
                    camera: camera
                }
            }
        }
    }
    Component.onCompleted: initialView()
}
