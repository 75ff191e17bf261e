-- Strings with NUL: the functions 4.0 hands a C string (names, formats,
-- modes, messages) read up to the NUL; the others keep every byte.
-- runs on
local nul = "ab\0cd"
print(call(error, {nul}, "x", function(m) print("handler", strlen(m)) end))
print(dostring("return 'x\0y'"))
print(strlen(dostring("return 'x\\0y'")))
print(tostring(nul) == nul, strupper(nul), strlen(strupper(nul)), strrep(nul, 2) == nul .. nul)
print(format("%q", nul), strlen(format("%q", nul)), format("a%d\0%d", 1, 2))
print(format("%5s|", nul), format("%.1s|", nul))
print(gsub(nul, "b", "B"), strfind(nul, "c"), strfind(nul, "\0", 1, 1))
print(tonumber("1\0"), tonumber("10\0", 16))
print(getglobal("nu\0l"), setglobal("a\0b", 1), getglobal("a"))
print(gettagmethod(tag(1), "pow\0x") == gettagmethod(tag(1), "pow"))
local h = openfile("nul.txt\0ignored", "w")
write(h, "0123456789")
print(seek(h, "set\0x", 3), closefile(h), remove("nul.txt"))
call(error, {nul})
