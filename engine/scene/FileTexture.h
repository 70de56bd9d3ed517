#pragma once
// An image named by its resource name, looked up again through the texture cache whenever the
// name may have come to mean another file (FileUtils' search generation changed: the folder of
// the double-size images was put in front or taken away). Sprite frames and atlas labels hold
// one, so a change of content scale reaches every node that already exists. Main thread only.

#include <memory>
#include <string>

namespace engine {

class Texture;

class FileTexture {
public:
    FileTexture() = default;
    explicit FileTexture(std::string filename);

    // The texture for the name as it resolves now; null for a missing or unreadable file.
    const std::shared_ptr<Texture>& get() const;
    const std::string& filename() const { return m_filename; }

private:
    std::string m_filename;
    mutable std::shared_ptr<Texture> m_texture;
    mutable unsigned m_generation = 0;
    mutable bool m_loaded = false;
};

}  // namespace engine
