import Qt3D.Core 2.12
import Qt3D.Render 2.12

// One colour, unlit: element edges and outlines. As cheap per pixel as a
// material can be, for large meshes under a software renderer.
Material {
    property color colour: "#102027"

    parameters: [Parameter { name: "colour"; value: Qt.vector3d(colour.r, colour.g, colour.b) }]
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
uniform mat4 mvp;
void main()
{
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}"
                        fragmentShaderCode: "#version 150 core
uniform vec3 colour;
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
uniform mat4 mvp;
void main()
{
    gl_Position = mvp * vec4(vertexPosition, 1.0);
}"
                        fragmentShaderCode: "uniform vec3 colour;
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
