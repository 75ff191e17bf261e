-- dofile and dostring: what they give back, the names their chunks carry in
-- messages and tracebacks, and files that are folders, missing, start with
-- "#" or hold bytes no chunk may hold.
local report = function(m) print("caught: " .. m) end
local put = function(name, text)
  local f = openfile(name, "w")
  write(f, text)
  closefile(f)
end

-- a folder opens and reads as an empty chunk; a missing file is a file error
print(dofile("."), dofile("scripts"))
print(dofile("no_such_file.lua"), call(dofile, {"no_such_file.lua"}, "x"))
print(dostring(""), dostring("-- a comment"), dostring("local a = 1"))

-- results: several, nil among them, an explicit empty return
put("results.lua", "#!/usr/bin/lua\nreturn 1, nil, 3\n")
print(dofile("results.lua"))
print(dostring("return 1, nil, 3"), dostring("return"), dostring("return nil, nil"))
print(dostring("#comment\nreturn 2"), dostring("return 7\r\n"), dostring("return 1", 5))

-- a NUL or a control byte is refused by the lexer, in files and strings
put("nul.lua", "x = 1\0 y = 2")
put("binary.lua", "\1\2\3")
call(dofile, {"nul.lua"}, "x", _ERRORMESSAGE)
call(dofile, {"binary.lua"}, "x", _ERRORMESSAGE)
call(dostring, {"x = 1\0 y = 2"}, "x", _ERRORMESSAGE)
print(dofile("nul.lua"), dostring("\1"))

-- chunk names: a string's first line, cut to fit; "=" and "@" names
put("lib.lua", "function libf(x)\n  return x + nil\nend\nreturn function() error('anon') end\n")
local anon = dofile("lib.lua")
call(libf, {1}, "x")
call(anon, {}, "x")
dostring("function dsf()\n  error('from a string')\nend\nh = function() local a = {} .. 1 end", "named")
call(dsf, {}, "x")
call(h, {}, "x")
dostring("t = {}\nfunction t.m() error('field') end")
call(t.m, {}, "x")
call(dostring, {"local a = 1\nlocal b = 2\nerror('on line 3')"}, "x")
call(dostring, {"\n\nerror('after blank lines')"}, "x")
call(dostring, {"local aaaaaaaaaaaaaaaaaaaa = 1; local bbbbbbbbbbbbbbbbbbbbbbbbbbb = 2 error('long')"}, "x")
call(dostring, {strrep("x", 80) .. " = = 1"}, "x")
call(dostring, {"x = = 1", strrep("n", 80)}, "x")
call(dostring, {"error('e')", "a\nb"}, "x")
call(dostring, {"local x = nil + 1", "=named"}, "x")
call(dostring, {"x = = 1", "@file.lua"}, "x")
call(dostring, {"error('e')", ""}, "x")
put("syntax.lua", "\n\nx = = 2\n")
call(dofile, {"syntax.lua"}, "x", report)
call(dostring, {"return \"unfinished"}, "x", report)
print(dostring("x = = 1"), dostring("error('x')"))

-- nested runs: each level shows in the traceback
call(dostring, {"dostring('error(\"inner\")')  error('outer')"}, "x")
call(dostring, {"return dofile('lib.lua')()"}, "x")

-- arguments
print(dofile(1))
call(dostring, {}, "x", report)
call(dostring, {"return 1", {}}, "x", report)
remove("results.lua")
remove("nul.lua")
remove("binary.lua")
remove("lib.lua")
remove("syntax.lua")
exit(0)
