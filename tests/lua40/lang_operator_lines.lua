-- Once an lt method exists, a comparison split over lines fails on the line
-- where its right operand ends, as 4.0 compares there; so does `^'.
T = newtag()
settagmethod(T, "lt", function(a, b) return 1 end)
o = settag({}, T)
t = {}
dostring("local v = t.z >\n(\n- 2 )", "split >")
dostring("if nil\n<\n\n1 then end", "split <")
dostring("local v = o < o and\n{} <=\n\n1", "split <=")
dostring("local v = t.z\n\n>=\nt", "split >=")
dostring("local v = 2 ^\n\n(\nt.z\n)", "split ^")
print(dostring("return o <\n o, 1 >\n 2, 'a' <= \n'b'", "in order"))
exit(0)
