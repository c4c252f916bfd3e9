-- A resource that Lua_ExtractResource writes out byte for byte.
return "extra resource"
