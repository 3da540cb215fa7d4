#!/usr/bin/perl
# Writes the notices of the third-party code in a program linked against the static Qt just
# built: each part that Qt's own attribution files (qt_attribution.json) name and that this
# build compiled or embedded into a library, then the MinGW-w64 runtime linked with it.
# Usage: qt-notices.pl QT_SOURCE QT_BUILD >THIRD-PARTY-NOTICES.txt
use strict;
use warnings;
use Cwd qw(abs_path);
use File::Basename qw(dirname);
use File::Find qw(find);
use JSON::PP;

my ($source, $build) = map { abs_path($_) or die "no folder $_\n" } @ARGV[0, 1];

# Every file of the source that went into the libraries a program links: the sources and
# headers each object was compiled from, and the files embedded as resources. The test
# library is left out, since a program does not ship it.
my %used;
sub use_file {
    my $path = shift;
    $path = "$build/$path" unless $path =~ m{^/};
    $used{$1} = 1 if $path =~ m{^\Q$source\E/(.*)$};
}
my $object = '';
open(my $deps, '-|', 'ninja', '-C', $build, '-t', 'deps') or die "ninja: $!\n";
while (<$deps>) {
    chomp;
    if (/^(\S.*?): #deps/) { $object = $1; }
    elsif (/^\s+(\S.*)$/ && $object !~ m{^src/testlib/}) { use_file($1); }
}
close($deps) or die "ninja -t deps failed\n";
open(my $ninja, '<', "$build/build.ninja") or die "build.ninja: $!\n";
while (<$ninja>) {
    next unless m{^build (\S+/\.rcc/\S+\.cpp): \S+ (.*)$} && $1 !~ m{^src/testlib/};
    use_file($_) for grep { !/^\|/ } split(' ', $2);
}
close($ninja);

sub read_text {
    my $path = shift;
    open(my $in, '<:raw', $path) or die "$path: $!\n";
    local $/;
    my $text = <$in>;
    $text =~ s/\r\n/\n/g;
    $text =~ s/\s+$/\n/;
    return $text;
}

# The files an attribution covers: those it lists, the one path it names, or its folder.
sub covered {
    my ($entry, $folder) = @_;
    my @paths = $entry->{Files} ? split(' ', $entry->{Files})
              : $entry->{Path}  ? ($entry->{Path})
              :                   ('.');
    for my $path (map { "$folder/$_" =~ s{/\.$}{}r =~ s{^\./}{}r } @paths) {
        return 1 if grep { $_ eq $path || index($_, "$path/") == 0 } keys %used;
    }
    return 0;
}

# Each licence text once; a later part that shares it points back to the first.
my %licence_of;
sub licence {
    my ($path, $name) = @_;
    $path = abs_path($path) or die "no licence file $_[0]\n";
    return "The licence text is the one given for $licence_of{$path} above.\n" if $licence_of{$path};
    $licence_of{$path} = $name;
    return read_text($path);
}

my @attributions;
find({ no_chdir => 1, wanted => sub {
    push @attributions, $File::Find::name if m{/qt_attribution\.json$};
}}, "$source/src");

my $json = JSON::PP->new->loose->relaxed;
my (%seen, @parts);
for my $file (sort @attributions) {
    my $folder = dirname($file) =~ s{^\Q$source\E/}{}r;
    my $entries = $json->decode(read_text($file));
    for my $entry (ref $entries eq 'ARRAY' ? @$entries : $entries) {
        next if $seen{$entry->{Id}} || !covered($entry, $folder);
        $seen{$entry->{Id}} = 1;
        my $copyright = $entry->{CopyrightFile}
            ? read_text("$source/$folder/$entry->{CopyrightFile}")
            : join("\n", ref $entry->{Copyright} ? @{$entry->{Copyright}} : ($entry->{Copyright} // ''));
        my @licences = $entry->{LicenseFiles} ? @{$entry->{LicenseFiles}} : ($entry->{LicenseFile} // ());
        my $name = $entry->{Name} . ($entry->{Version} ? ", version $entry->{Version}" : '');
        my $id = $entry->{LicenseId} ? " ($entry->{LicenseId})" : '';
        push @parts, {
            name => $name,
            text => join("\n", "Part of Qt's $folder.", ($entry->{Homepage} // ()), '',
                $copyright =~ s/\s+$//r, '', "Licence: $entry->{License}$id", '',
                map { licence("$source/$folder/$_", $name) } @licences),
        };
    }
}

# The C runtime and the threads library the MinGW-w64 compiler links into every program, under
# Debian's record of their licences.
my $runtime = 'mingw-w64-x86-64-dev';
my $runtime_version = `dpkg-query -W -f='\${Version}' $runtime` or die "$runtime is not installed\n";
push @parts, {
    name => "MinGW-w64 runtime (C runtime and winpthreads), version $runtime_version",
    text => "From Debian's $runtime package.\nhttps://www.mingw-w64.org/\n\n"
        . read_text("/usr/share/doc/$runtime/copyright"),
};

my $rule = '=' x 78;
print "Third-party notices for quillfen.exe\n\n",
    "quillfen.exe is built with Qt, whose licence is in the LICENSE.Qt-*.txt files beside it.\n",
    "The parts below are compiled into it as well; each comes with its copyright and licence.\n\n";
print map { "  $_->{name}\n" } @parts;
print map { "\n$rule\n$_->{name}\n$rule\n\n$_->{text}" } @parts;
