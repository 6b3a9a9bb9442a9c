#include "output/meshfiles.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <sstream>

#include <tiny_gltf.h>

#include "engine/colorclasses.h"
#include "output/replacingfile.h"

namespace vantrel {

namespace {

struct SignedMesh {
    const Mesh& mesh;
    const char* name;
    Rgb colour;
};

std::array<SignedMesh, 2> signedMeshes(const SignSurfaces& s) {
    return {SignedMesh{s.positive, "positive", signColour(1)}, SignedMesh{s.negative, "negative", signColour(-1)}};
}

std::string emptyProblem(const SignSurfaces& s, const std::string& path) {
    if (s.positive.triangles.empty() && s.negative.triangles.empty())
        return "There is no surface to write to " + path + ".";
    return "";
}

// Little-endian binary values, whatever the machine.
void putU32(std::string& to, std::uint32_t v) {
    for (int b = 0; b < 4; ++b) to += static_cast<char>(v >> (8 * b) & 0xff);
}
void putF32(std::string& to, float v) { putU32(to, std::bit_cast<std::uint32_t>(v)); }
void putVec(std::string& to, Vec3f v) {
    putF32(to, v.x);
    putF32(to, v.y);
    putF32(to, v.z);
}

// Shortest text that reads back as the same float.
void putText(std::string& to, float v) {
    char buf[32];
    to.append(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
}

// glTF colours are linear; the sign colours are sRGB.
double linearChannel(std::uint8_t c) {
    const double s = c / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

template <typename T>
int addView(tinygltf::Model& model, const std::vector<T>& data, int target) {
    std::vector<unsigned char>& bytes = model.buffers[0].data;
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = bytes.size();
    view.byteLength = data.size() * sizeof(T);
    view.target = target;
    const auto* raw = reinterpret_cast<const unsigned char*>(data.data());
    bytes.insert(bytes.end(), raw, raw + view.byteLength);
    model.bufferViews.push_back(view);
    return static_cast<int>(model.bufferViews.size() - 1);
}

int addAccessor(tinygltf::Model& model, int view, int componentType, int type, std::size_t count) {
    tinygltf::Accessor a;
    a.bufferView = view;
    a.componentType = componentType;
    a.type = type;
    a.count = count;
    model.accessors.push_back(a);
    return static_cast<int>(model.accessors.size() - 1);
}

void addPrimitive(tinygltf::Model& model, tinygltf::Mesh& mesh, const SignedMesh& s) {
    const Mesh& m = s.mesh;
    const int positions = addAccessor(model, addView(model, m.vertices, TINYGLTF_TARGET_ARRAY_BUFFER),
                                      TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, m.vertices.size());
    // positions must state their bounds
    tinygltf::Accessor& bounds = model.accessors[positions];
    bounds.minValues = {m.vertices[0].x, m.vertices[0].y, m.vertices[0].z};
    bounds.maxValues = bounds.minValues;
    for (const Vec3f& v : m.vertices) {
        const double c[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
            bounds.minValues[i] = std::min(bounds.minValues[i], c[i]);
            bounds.maxValues[i] = std::max(bounds.maxValues[i], c[i]);
        }
    }
    const int normals = addAccessor(model, addView(model, m.normals, TINYGLTF_TARGET_ARRAY_BUFFER),
                                    TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, m.normals.size());
    const int indices = addAccessor(model, addView(model, m.triangles, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
                                    TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR,
                                    3 * m.triangles.size());
    tinygltf::Material material;
    material.name = s.name;
    material.pbrMetallicRoughness.baseColorFactor = {linearChannel(s.colour.r), linearChannel(s.colour.g),
                                                     linearChannel(s.colour.b), 1.0};
    material.pbrMetallicRoughness.metallicFactor = 0;
    material.pbrMetallicRoughness.roughnessFactor = 0.6;
    model.materials.push_back(material);

    tinygltf::Primitive p;
    p.attributes["POSITION"] = positions;
    p.attributes["NORMAL"] = normals;
    p.indices = indices;
    p.material = static_cast<int>(model.materials.size() - 1);
    p.mode = TINYGLTF_MODE_TRIANGLES;
    mesh.primitives.push_back(p);
}

}  // namespace

std::string writeGlb(const std::string& path, const SignSurfaces& surfaces) {
    if (auto problem = emptyProblem(surfaces, path); !problem.empty()) return problem;
    std::ostringstream bytes;
    try {
        tinygltf::Model model;
        model.asset.version = "2.0";
        model.asset.generator = "Vantrel";
        model.buffers.resize(1);
        tinygltf::Mesh mesh;
        mesh.name = "orbital";
        for (const SignedMesh& s : signedMeshes(surfaces))
            if (!s.mesh.triangles.empty()) addPrimitive(model, mesh, s);
        model.meshes.push_back(mesh);
        tinygltf::Node node;
        node.name = "orbital";
        node.mesh = 0;
        node.rotation = {-std::sqrt(0.5), 0, 0, std::sqrt(0.5)};  // z up
        model.nodes.push_back(node);
        tinygltf::Scene scene;
        scene.nodes = {0};
        model.scenes.push_back(scene);
        model.defaultScene = 0;
        tinygltf::TinyGLTF writer;
        if (!writer.WriteGltfSceneToStream(&model, bytes, false, true) || !bytes)
            return "The glTF library could not lay out " + path + ".";
    } catch (const std::exception& e) {
        return std::string(e.what()) + " writing " + path;
    }
    return replaceFile(path, bytes.view());
}

std::string writeStl(const std::string& path, const SignSurfaces& surfaces, double millimetresPerAngstrom) {
    if (auto problem = emptyProblem(surfaces, path); !problem.empty()) return problem;
    if (!(millimetresPerAngstrom > 0) || !std::isfinite(millimetresPerAngstrom))
        return "The STL scale must be a positive number of millimetres an Angstrom.";
    ReplacingFile file(path);
    char header[80] = {};
    std::snprintf(header, sizeof header, "Vantrel orbital surfaces psi = +c and -c; mm, %g mm = 1 Angstrom",
                  millimetresPerAngstrom);
    std::string record(header, sizeof header);
    putU32(record, static_cast<std::uint32_t>(surfaces.positive.triangles.size() + surfaces.negative.triangles.size()));
    file.write(record);
    const auto scaled = [&](Vec3f v) {
        return Vec3f{float(v.x * millimetresPerAngstrom), float(v.y * millimetresPerAngstrom),
                     float(v.z * millimetresPerAngstrom)};
    };
    for (const SignedMesh& s : signedMeshes(surfaces)) {
        for (const auto& t : s.mesh.triangles) {
            const Vec3f a = scaled(s.mesh.vertices[t[0]]), b = scaled(s.mesh.vertices[t[1]]),
                        c = scaled(s.mesh.vertices[t[2]]);
            const double u[3] = {double(b.x) - a.x, double(b.y) - a.y, double(b.z) - a.z};
            const double v[3] = {double(c.x) - a.x, double(c.y) - a.y, double(c.z) - a.z};
            const double n[3] = {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
            const double len = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
            const double inv = len > 0 ? 1 / len : 0;
            record.clear();
            putVec(record, Vec3f{float(n[0] * inv), float(n[1] * inv), float(n[2] * inv)});
            putVec(record, a);
            putVec(record, b);
            putVec(record, c);
            record.append(2, '\0');  // attribute bytes
            file.write(record);
        }
    }
    return file.commit();
}

std::string writePly(const std::string& path, const SignSurfaces& surfaces) {
    if (auto problem = emptyProblem(surfaces, path); !problem.empty()) return problem;
    const auto meshes = signedMeshes(surfaces);
    const std::size_t nVertices = surfaces.positive.vertices.size() + surfaces.negative.vertices.size();
    const std::size_t nTriangles = surfaces.positive.triangles.size() + surfaces.negative.triangles.size();
    ReplacingFile file(path);
    file.write("ply\nformat binary_little_endian 1.0\n"
               "comment Vantrel orbital surfaces psi = +c (blue) and -c (red), Angstroms\n"
               "element vertex " + std::to_string(nVertices) +
               "\nproperty float x\nproperty float y\nproperty float z\n"
               "property float nx\nproperty float ny\nproperty float nz\n"
               "property uchar red\nproperty uchar green\nproperty uchar blue\n"
               "element face " + std::to_string(nTriangles) +
               "\nproperty list uchar int vertex_indices\nend_header\n");
    std::string record;
    for (const SignedMesh& s : meshes)
        for (std::size_t v = 0; v < s.mesh.vertices.size(); ++v) {
            record.clear();
            putVec(record, s.mesh.vertices[v]);
            putVec(record, s.mesh.normals[v]);
            record += static_cast<char>(s.colour.r);
            record += static_cast<char>(s.colour.g);
            record += static_cast<char>(s.colour.b);
            file.write(record);
        }
    std::uint32_t offset = 0;
    for (const SignedMesh& s : meshes) {
        for (const auto& t : s.mesh.triangles) {
            record.assign(1, '\3');
            for (std::uint32_t v : t) putU32(record, v + offset);
            file.write(record);
        }
        offset += static_cast<std::uint32_t>(s.mesh.vertices.size());
    }
    return file.commit();
}

std::string writeObj(const std::string& path, const SignSurfaces& surfaces) {
    if (auto problem = emptyProblem(surfaces, path); !problem.empty()) return problem;
    const std::size_t dot = path.find_last_of("./");
    const std::string stem = dot != std::string::npos && path[dot] == '.' ? path.substr(0, dot) : path;
    const std::string mtlPath = stem + ".mtl";
    const std::string mtlName = mtlPath.substr(mtlPath.find_last_of('/') + 1);

    std::string text = "# Vantrel orbital surfaces psi = +c and -c\n";
    for (const SignedMesh& s : signedMeshes(surfaces)) {
        char line[96];
        std::snprintf(line, sizeof line, "\nnewmtl %s\nKd %.4f %.4f %.4f\nKa 0 0 0\nKs 0.2 0.2 0.2\nNs 40\n", s.name,
                      s.colour.r / 255.0, s.colour.g / 255.0, s.colour.b / 255.0);
        text += line;
    }
    if (auto problem = replaceFile(mtlPath, text); !problem.empty()) return problem;

    ReplacingFile file(path);
    file.write("# Vantrel orbital surfaces psi = +c and -c, Angstroms\nmtllib " + mtlName + "\n");
    std::size_t offset = 1;  // OBJ counts vertices from 1 through the whole file
    for (const SignedMesh& s : signedMeshes(surfaces)) {
        if (s.mesh.triangles.empty()) continue;
        text = "o " + std::string(s.name) + "\nusemtl " + s.name + "\n";
        for (const char* kind : {"v ", "vn "}) {
            const auto& list = kind[1] == 'n' ? s.mesh.normals : s.mesh.vertices;
            for (const Vec3f& v : list) {
                text += kind;
                putText(text, v.x);
                text += ' ';
                putText(text, v.y);
                text += ' ';
                putText(text, v.z);
                text += '\n';
                if (text.size() > 60000) file.write(text), text.clear();
            }
        }
        for (const auto& t : s.mesh.triangles) {
            text += 'f';
            for (std::uint32_t v : t) {
                const std::string i = std::to_string(v + offset);
                text += ' ' + i + "//" + i;
            }
            text += '\n';
            if (text.size() > 60000) file.write(text), text.clear();
        }
        file.write(text);
        offset += s.mesh.vertices.size();
    }
    return file.commit();
}

}  // namespace vantrel
