import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import QtQuick.Window 2.12
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
    // Put before the names of the view's parts, to tell views apart.
    property string namePrefix: ""
    // Smoothed edges cost four samples a pixel: a software renderer cannot
    // afford them on a large mesh.
    property bool antialiased: true
    // Called when the initial view is set: the old geometry can go.
    signal initialViewSet()
    // A click that did not drag: the ray under it, from in front of the
    // view's box along the view.
    signal tapped(vector3d origin, vector3d direction)
    spacing: 2

    // What the view shows, [xmin, ymin, zmin, xmax, ymax, zmax]: the
    // views frame it.
    property var bounds: []

    function initialView() {
        frame(Qt.vector3d(1, 1, 1), Qt.vector3d(0, 1, 0))
        initialViewSet()
    }
    function boxCentre() {
        const b = bounds
        return Qt.vector3d((b[0] + b[3]) / 2, (b[1] + b[4]) / 2, (b[2] + b[5]) / 2)
    }
    // Looks at the shown box from the given side, fitting it to the view.
    function frame(direction, up) {
        if (!bounds || bounds.length !== 6)
            return
        const b = bounds
        const centre = boxCentre()
        const diagonal = Math.max(Qt.vector3d(b[3] - b[0], b[4] - b[1], b[5] - b[2]).length(), 1e-9)
        const towards = direction.normalized()
        const view = towards.times(-1)
        const right = view.crossProduct(up).normalized()
        const screenUp = right.crossProduct(view).normalized()
        var halfWidth = 0, halfHeight = 0
        for (var i = 0; i < 8; ++i) {
            const corner = Qt.vector3d(i & 1 ? b[3] : b[0], i & 2 ? b[4] : b[1], i & 4 ? b[5] : b[2]).minus(centre)
            halfWidth = Math.max(halfWidth, Math.abs(corner.dotProduct(right)))
            halfHeight = Math.max(halfHeight, Math.abs(corner.dotProduct(screenUp)))
        }
        const aspect = scene.width > 0 && scene.height > 0 ? scene.width / scene.height : 1
        camera.viewCenter = centre
        camera.position = centre.plus(towards.times(2 * diagonal))
        camera.upVector = screenUp
        camera.nearPlane = 0.01 * diagonal
        camera.farPlane = 4 * diagonal
        controller.linearSpeed = diagonal / 3
        controller.lookSpeed = diagonal / 20
        setTop(1.08 * Math.max(halfHeight, halfWidth / aspect, 1e-9))
    }
    function setTop(top) {
        const aspect = scene.width > 0 && scene.height > 0 ? scene.width / scene.height : 1
        camera.top = top
        camera.bottom = -top
        camera.right = top * aspect
        camera.left = -camera.right
    }
    // Zooms by the factor keeping the point under (x, y) of the view where
    // it is.
    function zoomAt(x, y, factor) {
        const dx = (x / Math.max(scene.width, 1) - 0.5) * (camera.right - camera.left)
        const dy = (0.5 - y / Math.max(scene.height, 1)) * (camera.top - camera.bottom)
        const view = camera.viewCenter.minus(camera.position).normalized()
        const right = view.crossProduct(camera.upVector).normalized()
        const up = right.crossProduct(view).normalized()
        const shift = right.times(dx * (1 - factor)).plus(up.times(dy * (1 - factor)))
        camera.position = camera.position.plus(shift)
        camera.viewCenter = camera.viewCenter.plus(shift)
        setTop(camera.top * factor)
    }
    // Looks at the shown box from the given side.
    function lookFrom(direction, up) {
        frame(direction, up)
    }

    // The view's actions and its own tools, wrapping when the view is narrow.
    Flow {
        id: toolRow
        Layout.fillWidth: true
        spacing: 2
        FV_Icon_Button { text: "Zoom in"; iconSource: "qrc:/icons/zoom_in.svg"; onClicked: view3d.zoomAt(scene.width / 2, scene.height / 2, 0.8) }
        FV_Icon_Button { text: "Zoom out"; iconSource: "qrc:/icons/zoom_out.svg"; onClicked: view3d.zoomAt(scene.width / 2, scene.height / 2, 1.25) }
        FV_Icon_Button { text: "Reset view"; iconSource: "qrc:/icons/reset_view.svg"; onClicked: view3d.initialView() }
        FV_Icon_Button {
            objectName: view3d.namePrefix + "viewAll"
            text: "View all"
            iconSource: "qrc:/icons/view_all.svg"
            onClicked: view3d.frame(camera.position.minus(camera.viewCenter), camera.upVector)
        }
        FV_Icon_Button { objectName: view3d.namePrefix + "topView"; text: "Top view"; iconSource: "qrc:/icons/view_top.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, 1, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Bottom view"; iconSource: "qrc:/icons/view_bottom.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, -1, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { objectName: view3d.namePrefix + "leftView"; text: "Left view"; iconSource: "qrc:/icons/view_left.svg"; onClicked: view3d.lookFrom(Qt.vector3d(-1, 0, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { text: "Right view"; iconSource: "qrc:/icons/view_right.svg"; onClicked: view3d.lookFrom(Qt.vector3d(1, 0, 0), Qt.vector3d(0, 0, 1)) }
        FV_Icon_Button { objectName: view3d.namePrefix + "frontView"; text: "Front view"; iconSource: "qrc:/icons/view_front.svg"; onClicked: view3d.lookFrom(Qt.vector3d(0, 0, 1), Qt.vector3d(0, 1, 0)) }
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
            multisample: view3d.antialiased
            focus: true
            onWidthChanged: { view3d.setTop(camera.top); view3d.redrawSoon() }
            onHeightChanged: { view3d.setTop(camera.top); view3d.redrawSoon() }
            Entity {
                id: sceneRoot
                components: [
                    RenderSettings {
                        // Frames only when something changed: an idle view
                        // leaves the processor to the solver.
                        renderPolicy: drawing.running ? RenderSettings.Always : RenderSettings.OnDemand
                        // Faces go a little behind lines at the same depth,
                        // so element edges never flicker through them.
                        activeFrameGraph: RenderStateSet {
                            renderStates: [DepthTest { depthFunction: DepthTest.LessOrEqual }, PolygonOffset { scaleFactor: 1.0; depthSteps: 1.0 }]
                            ForwardRenderer {
                                clearColor: "white"
                                camera: camera
                            }
                        }
                    },
                    InputSettings {}
                ]
                Camera {
                    id: camera
                    projectionType: CameraLens.OrthographicProjection
                }
                // A light that looks along with the camera.
                Entity {
                    components: [DirectionalLight { worldDirection: camera.viewVector; intensity: 0.8 }]
                }
                OrbitCameraController {
                    id: controller
                    camera: camera
                }
            }
        }
        // The wheel zooms about the point under the cursor; drags go on to
        // the camera controller.
        MouseArea {
            objectName: view3d.namePrefix + "viewArea"
            anchors.fill: scene
            acceptedButtons: Qt.NoButton
            onWheel: {
                if (wheel.angleDelta.y !== 0)
                    view3d.zoomAt(wheel.x, wheel.y, wheel.angleDelta.y > 0 ? 0.85 : 1 / 0.85)
                wheel.accepted = true
            }
            // Watches without taking the press: drags still turn the view.
            TapHandler {
                onTapped: {
                    const p = point.position
                    const dx = (p.x / Math.max(scene.width, 1) - 0.5) * (camera.right - camera.left)
                    const dy = (0.5 - p.y / Math.max(scene.height, 1)) * (camera.top - camera.bottom)
                    const view = camera.viewCenter.minus(camera.position).normalized()
                    const right = view.crossProduct(camera.upVector).normalized()
                    const up = right.crossProduct(view).normalized()
                    view3d.tapped(camera.position.plus(right.times(dx)).plus(up.times(dy)), view)
                }
            }
        }
    }
    // A frame on demand needs a change of the scene: a new or resized
    // surface is not one. After those the view draws for a moment.
    function redrawSoon() {
        drawing.restart()
    }
    Timer {
        id: drawing
        interval: 500
    }
    Connections {
        target: view3d.Window.window
        function onVisibleChanged() { view3d.redrawSoon() }
    }
    Component.onCompleted: initialView()
}
