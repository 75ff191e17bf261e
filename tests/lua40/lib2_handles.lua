-- File handles: modes, reading and writing the wrong way, closing twice,
-- the standard handles across redirections, and the shape tostring gives
-- functions, tables and handles (their addresses masked). Long names in
-- argument errors are cut as 4.0 cuts them.
local report = function(m) print("caught: " .. m) end
local shape = function(v) return (gsub(tostring(v), "0x%x+", "ADDR")) end
local h = openfile("handles.txt", "w")
write(h, "line1\nline2\n3.5 word\n")
closefile(h)

-- modes: invalid strings fail with EINVAL; "r+", "a+" and "rb" work
print(openfile("handles.txt", "z"))
print(openfile("handles.txt", ""))
h = openfile("handles.txt", "r+")
print(read(h, "*l"), write(h, "X"))
closefile(h)
h = openfile("handles.txt", "a+")
print(write(h, "tail\n"), seek(h, "set", 0), read(h, "*l"))
closefile(h)
h = openfile("handles.txt", "rb")
print(read(h, "*a"))
closefile(h)

-- the wrong direction: nothing read, an error number from write
h = openfile("empty.txt", "w")
print(read(h, "*l"), read(h, "*a"), read(h, 3), read(h, "*n"), read(h, "*w"))
closefile(h)
h = openfile("handles.txt", "r")
print(write(h, "x"), write(h, "x", "y"))
-- several formats at once; at the end of the file
print(read(h, "*l", "*l", "*n", "*w", "*l", "*l", "*a", "*l"))
print(read(h, "*a"), read(h, "*a", "*a"), read(h, "*l"), read(h, 0), read(h, "*w"))

-- closing twice; a closed handle keeps its shape with the closed tag
print(closefile(h), shape(h), tag(h) ~= tag(_STDIN))
call(closefile, {h}, "x", report)
call(read, {h, "*l"}, "x", report)
call(seek, {h}, "x", report)
call(write, {h, "x"}, "x", report)
call(flush, {h}, "x", report)

-- the standard handles, redirected and restored
print(shape(_STDIN), shape(_STDOUT), shape(_STDERR), _INPUT == _STDIN, _OUTPUT == _STDOUT)
print(shape(readfrom("handles.txt")), _INPUT == _STDIN, read())
print(shape(readfrom()), _INPUT == _STDIN)
print(shape(writeto("out.txt")), _OUTPUT == _STDOUT)
write("hello\n")
print(shape(writeto()), _OUTPUT == _STDOUT)
print(writeto("no_such_dir/x"), _OUTPUT == _STDOUT)
print(readfrom("no_such_dir/x"), _INPUT == _STDIN)
print(shape(appendto("out.txt")), _OUTPUT == _STDOUT)
write("more\n")
writeto()
readfrom("out.txt")
print(read("*a"))
readfrom()
print(closefile(_STDIN), _STDIN == _INPUT, read(_STDIN, "*a"))
_INPUT = nil
call(read, {}, "x", report)
_INPUT = _STDIN

-- other values: functions, tables, tags; tonumber of them is nil
print(shape(print), shape(function() end), shape({}), shape(newtag()))
print(tonumber(print), tonumber({}), tonumber(_STDIN), tonumber(nil))

-- a name is cut at 50 bytes in argument errors
dostring(strrep("e", 60) .. " = strsub")
call(dostring, {strrep("e", 60) .. "()"}, "x", report)
remove("handles.txt")
remove("empty.txt")
remove("out.txt")
exit(0)
