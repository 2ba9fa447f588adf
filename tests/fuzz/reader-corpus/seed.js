// a comment
var name = "{{name}}";
document.write("<p>Hello " + name + "</p>\n");
document.writeln('single \'q\' \\ \n', "\x41\101\u00e9\u{1F389}\uD83D\uDE00\uD800|\0|\v|\/|\q");
document.writeln(`template ${name} and
line two\
`);
if (name) {
    document.write("in if\n")
}
document . writeln ( "spaced" ) ;
function f() { document.write("in function\n"); }
document.write("a" +
   "b\n")
document.write(name.length + "\n");
