import Qt3D.Core 2.12
import Qt3D.Render 2.12

// Element faces in their own colours (or one plain colour), lit from the
// viewer on both sides. Lit per vertex: on a large mesh under a software
// renderer every element is a few pixels and the pixel work decides the
// redraw time, so the fragment stage only passes the colour on.
Material {
    property color plainColour: "#7FD3DC"
    property bool plain: false

    parameters: [
        Parameter { name: "plainColour"; value: Qt.vector3d(plainColour.r, plainColour.g, plainColour.b) },
        Parameter { name: "plain"; value: plain ? 1.0 : 0.0 }
    ]
    effect: Effect {
        techniques: [
            Technique {
                filterKeys: [FilterKey { name: "renderingStyle"; value: "forward" }]
                graphicsApiFilter {
                    api: GraphicsApiFilter.OpenGL
                    profile: GraphicsApiFilter.CoreProfile
                    majorVersion: 3
                    minorVersion: 2
                }
                renderPasses: RenderPass {
                    shaderProgram: ShaderProgram {
                        vertexShaderCode: "#version 150 core
in vec3 vertexPosition;
in vec3 vertexNormal;
in vec3 vertexColor;
out vec3 colour;
uniform mat4 mvp;
uniform mat3 modelViewNormal;
uniform vec3 plainColour;
uniform float plain;
void main()
{
    float facing = abs(normalize(modelViewNormal * vertexNormal).z);
    colour = mix(vertexColor, plainColour, plain) * (0.55 + 0.45 * facing);
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}"
                        fragmentShaderCode: "#version 150 core
in vec3 colour;
out vec4 fragColor;
void main()
{
    fragColor = vec4(colour, 1.0);
}"
                    }
                }
            },
            Technique {
                filterKeys: [FilterKey { name: "renderingStyle"; value: "forward" }]
                graphicsApiFilter {
                    api: GraphicsApiFilter.OpenGL
                    profile: GraphicsApiFilter.NoProfile
                    majorVersion: 2
                    minorVersion: 0
                }
                renderPasses: RenderPass {
                    shaderProgram: ShaderProgram {
                        vertexShaderCode: "attribute vec3 vertexPosition;
attribute vec3 vertexNormal;
attribute vec3 vertexColor;
varying vec3 colour;
uniform mat4 mvp;
uniform mat3 modelViewNormal;
uniform vec3 plainColour;
uniform float plain;
void main()
{
    float facing = abs(normalize(modelViewNormal * vertexNormal).z);
    colour = mix(vertexColor, plainColour, plain) * (0.55 + 0.45 * facing);
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}"
                        fragmentShaderCode: "varying vec3 colour;
void main()
{
    gl_FragColor = vec4(colour, 1.0);
}"
                    }
                }
            }
        ]
    }
}
