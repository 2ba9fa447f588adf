<html>
<?php
// a comment
$name = '{{$name}}'; $obj = new stdClass; $obj->name = '{{$obj->name}}'; $arr = ['{{$arr[0]}}']; $x = 1;
echo "<p>Hello $name</p>\n", 'single \'q\' \\ \n', "\x41\101\u{263A}\e|\q\n";
print("<b>" . "bold" . "</b>\n");
if ($x) {
    echo "in if\n";
}
echo <<<EOT
    heredoc {$obj->name} and $arr[0]
      indented
    EOT;
echo "\n";
?>
tail
<?= "short" ?>
