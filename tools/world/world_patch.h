// Writing a changed world back into the content text an author wrote: only
// the lines of the keys and objects that changed are rewritten (in the
// dumper's form), so comments, layout, object order and a room's template
// stay as they were.
#pragma once

#include <string>

#include "world_compile.h"

// The text of the content file at path, compiled (with the rest of
// content_dir) into before, rewritten so that it describes after's room (or,
// for ROOM_CARRIED, after's objects out of play). sources: where before's
// rooms and objects are written. New objects go at the end of the file.
// Returns 1 with the text in out; 0 when the change cannot be written into
// this file alone (an object its template gives changed, a text that no
// longer parses).
int patch_content_file(const std::string &content_dir, const std::string &path,
                       const std::string &text, const world_image &before, const world_image &after,
                       const world_sources &sources, int room, std::string &out);

// A room's text with its objects' "id = N" lines left out, so the compiler
// numbers them.
std::string without_object_ids(const std::string &text);

// 1 when two worlds hold the same rooms, polygons and objects, whatever
// numbers their objects and messages were given.
int worlds_match(const world_image &a, const world_image &b);
