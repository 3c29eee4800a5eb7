// view_textures.h - finds and loads the textures a model's materials name, the way people expect
// of a model viewer.
//
// A name is first taken by the platform's own rules (Win32 separators, names of another case)
// relative to the model's folder, as D3DXCreateTextureFromFileA reads it when that folder is
// current. A name that resolves to no file there (exporters often write absolute Windows paths
// such as C:\work\skins\hull.bmp) is then looked up by its base name, after the last '\' or '/',
// in the model's folder and in its "textures" subfolder, ignoring case. A fallback that is used
// and a name found nowhere are each said on stderr in one line; a file that is found but cannot
// be decoded is said with its reason. The model then draws that subset untextured.
//
// DOES NOT: change the current directory, or the platform's rules for other programs.
#pragma once

#include <d3dx9.h>

#include <map>
#include <string>

// Loads the textures of one model; one load (and one message) per distinct name.
class view_texture_loader {
public:
    // `model_path` names the model as given on the command line (messages start with it).
    view_texture_loader(IDirect3DDevice9* device, std::string model_path);
    view_texture_loader(const view_texture_loader&) = delete;
    view_texture_loader& operator=(const view_texture_loader&) = delete;
    ~view_texture_loader();

    // The texture `name` stands for, with a reference of the caller's own; null for none.
    IDirect3DTexture9* load(const char* name);

private:
    IDirect3DTexture9* find_and_load(const std::string& name);

    IDirect3DDevice9* device_;
    std::string model_path_;
    std::string folder_;  // the model's folder, "." for a bare name
    std::map<std::string, IDirect3DTexture9*> loaded_;
};

// The file a name falls back to: its base name matched without case in `folder`, then in
// `folder`/textures (that subfolder's name also without case). Empty when nothing matches.
std::string view_texture_fallback(const std::string& folder, const std::string& name);
