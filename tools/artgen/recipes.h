// The art recipes of content/art: materials, object models, characters with
// their poses, and the floor and side-face families, read from TOML.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "model.h"

struct model_recipe {
    std::string name;
    std::vector<int> images;   // datafile images drawn from it (animation frames in order)
    int def = -1;              // the definition whose box frames it; -1: the images' owner
    int width = 0, height = 0; // image size; 0: the size the box needs
    std::vector<part> parts;
};

// A pose turns named limbs about their pivots (degrees, forward positive).
struct pose_recipe {
    std::map<std::string, float> angles;
};

// A character is modelled facing forward: coordinates are (forward, right,
// up) from the middle of its box's floor; each facing turns it a quarter.
struct character_recipe {
    std::string name;
    int def = -1;
    int width = 0, height = 0;
    std::vector<std::string> poses; // one per animation frame of the definition
    std::map<std::string, vec3> pivots;
    std::vector<part> parts;
};

// A floor tile or side face: a pattern drawn in code with the recipe's colours.
struct surface_recipe {
    int number = 0;
    std::string pattern;
    rgb colour = {128, 128, 128};
    rgb second = {96, 96, 96}; // joints, mortar, border, second colour of a pattern
    int variant = 0;           // read by the pattern: orientation, edge side, ...
    std::string note;
};

struct art_recipes {
    std::vector<material> materials;
    std::vector<model_recipe> models;
    std::vector<character_recipe> characters;
    std::map<std::string, pose_recipe> poses;
    std::vector<surface_recipe> tiles;
    std::vector<surface_recipe> faces;
};

// Reads every *.toml of dir. Problems are printed as "file: what" and make
// the result 0.
int load_art_recipes(const std::string &dir, art_recipes &out);
