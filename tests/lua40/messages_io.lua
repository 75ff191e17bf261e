-- The io library's option and handle errors in 4.0's words, and its failures
-- returned as nil, message, code.
local report = function(m) print("caught: " .. m) end
local h = openfile("data.txt", "w")
write(h, "0123456789")
print(seek(h, "set", 2), seek(h), seek(h, "end"), seek(h, "cur", -4))
print(call(seek, {h, "bogus"}, "x", report))
print(call(seek, {h, "set", "x"}, "x", report))
print(call(seek, {"data.txt"}, "x", report))
print(call(seek, {}, "x", report))
print(closefile(h))
print(call(seek, {h}, "x", report))
print(call(write, {h, "x"}, "x", report))
print(call(read, {h}, "x", report))
print(call(closefile, {h}, "x", report))
print(call(closefile, {5}, "x", report))
print(call(closefile, {"data.txt"}, "x", report))
print(call(closefile, {}, "x", report))
print(call(flush, {5}, "x", report))
print(flush(), flush(_STDOUT))
print(call(setlocale, {"C", "bogus"}, "x", report))
print(call(setlocale, {"C", 5}, "x", report))
print(call(setlocale, {}, "x", report))
print(setlocale("C"), setlocale("C", "numeric"), setlocale("no-such-locale"))
print(call(date, {""}, "x", report))
-- formats of read
writeto("words.txt")
write("alpha beta\ngamma delta\n")
writeto()
readfrom("words.txt")
print(read("*w"), read(3), read("*l"))
print(call(read, {"*z"}, "x", report))
print(call(read, {"*l", "x"}, "x", report))
print(call(read, {{}}, "x", report))
print(read("*a"))
readfrom()
-- _INPUT and _OUTPUT must hold handles
local out = _OUTPUT
_OUTPUT = 5
print(call(write, {"x"}, "x", report))
_OUTPUT = out
_INPUT = nil
print(call(read, {}, "x", report))
_INPUT = _STDIN
-- failures are values, not errors
print(openfile("missing/data.txt", "r"))
print(openfile("data.txt", "bogus"))
print(readfrom("missing.txt"))
print(writeto("missing/out.txt"))
print(remove("missing.txt"))
print(rename("missing.txt", "other.txt"))
remove("data.txt")
remove("words.txt")
exit(0)
