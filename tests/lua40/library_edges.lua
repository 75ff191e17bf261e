-- Library results at the edges: values a function gives when it fails, and
-- the errors of arguments that are present but nil.
local report = function(m) print("caught: " .. m) end

-- tonumber with a base gives nil, not nothing, for a string that is no number
print(tonumber("8", 8))
print(tonumber("12", 2))
print(tonumber("", 16))
print(tonumber("zz", 36), tonumber("z!", 36))
local t = {tonumber("9", 8)}
print(getn(t), t[1])

-- error(nil) is a bad argument; error() with nothing raises silently
print(call(error, {n = 1}, "x", report))
print(call(function() error(nil) end, {}, "x", report))
print(call(function() error() end, {}, "x", report))
print(dostring("error(nil)"))

-- write to a file it cannot write gives the error number alone, writes
-- nothing after the failure, and still checks every argument
writeto("edges.txt") write("abc") writeto()
local f = openfile("edges.txt", "r")
print(write(f, "x", 1, "y"))
print(call(write, {f, "x", {}}, "x", report))
print(read(f, "*a"))
closefile(f)
print(write(_STDIN, 1), write(_STDIN))
remove("edges.txt")

-- call checks its options before its table, and refuses the `p' option
-- only once the function has run
print(call(call, {print, {"ran"}, "p"}, "x", report))
print(call(call, {print, 1, {}}, "x", report))
print(call(call, {error, {"failed"}, "xp"}, "x", report))

-- rawget and rawgettable, rawset and rawsettable, strbyte and ascii are two
-- functions each, named apart in messages and tracebacks
print(rawget == rawgettable, rawset == rawsettable, strbyte == ascii)
call(rawget, {1}, "x", report)
call(rawgettable, {1}, "x", report)
call(rawsettable, {{}}, "x", report)
call(ascii, {{}}, "x", report)
call(ascii, {"abc", 9}, "x", _ERRORMESSAGE)
exit(0)
