-- read's counts and words at the edges, the functions that redirect _INPUT
-- and _OUTPUT named in their tracebacks, date's formats and tmpname's names.
local report = function(m) print("caught: " .. m) end
local name = "lib_io.txt"
local h = openfile(name, "w")
write(h, "abcdefgh\nword1  word2\n  last")
closefile(h)
readfrom(name)
-- a count is cut to an integer; below -1 it is too big to allocate
print(read(2.7), read("2"), read(-0.5), read(" 1 "))
call(read, {-1}, "x", report)
print(read("*line"))
-- a word leaves the space after it to be read next
print(read("*w"), read(1), read("*w"), read("*l"))
print(read("*w", "*w"))
print(read("*w", "*all"))
readfrom()
remove(name)
call(readfrom, {{}}, "x", _ERRORMESSAGE)
call(writeto, {{}}, "x", _ERRORMESSAGE)
call(appendto, {}, "x", _ERRORMESSAGE)
print(appendto("no_such_dir/x.txt"))

-- date hands its whole format to strftime, flags, widths and all, with 256
-- bytes for the result: a longer one is an invalid format
print(date("%%|%n|%t|%Q|a%"), date("*t"), date("!x"), date("a\0b"))
print(date("%-d") == tostring(tonumber(date("%d"))), strlen(date("%10Y")), date("%^a") == strupper(date("%a")))
print(strlen(date(strrep("x", 255))), date() == date("%c"))
call(date, {strrep("x", 256)}, "x", report)
call(date, {strrep("%Y", 64)}, "x", report)
call(date, {""}, "x", report)

-- tmpname gives a name of C's tmpnam, and creates no file
local temporary = tmpname()
print(strsub(temporary, 1, 9), strlen(temporary), readfrom(temporary), temporary == tmpname())
exit(0)
