// Writes a picture of the window as a PNG file.
#pragma once

#include <SDL2/SDL_surface.h>

#include <string>

// False with a reason when the file cannot be written.
bool save_png(SDL_Surface* surface, const std::string& path, std::string& reason);
