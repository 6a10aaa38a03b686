#!/bin/sh
# Checks of the installed tree and of the .deb packages.
#   check.sh tree BUILD PREFIX GAMES DATA MAN UNITS [tessarin-bot]
#   check.sh versions GAMESPATH VERSION [tessarin-bot]
#   check.sh deb BUILD OUT GAMES [tessarin-bot]
set -eu
fail() { echo "FAIL: $*" >&2; exit 1; }
mode=$1
shift
case $mode in
tree)
    build=$1 prefix=$2 games=$3 data=$4 man=$5 units=$6
    shift 6
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix"
    for p in Quorvane Tessarin $*; do
        [ -x "$prefix/$games/$p" ] || fail "no program $games/$p"
        ! readelf -d "$prefix/$games/$p" | grep -q "R.*PATH" || fail "$p keeps a library search path"
        readelf -d "$prefix/$games/$p" | grep -q "FLAGS.*NOW" || fail "$p is not bound at start"
        [ -s "$prefix/$man/man6/$p.6.gz" ] || fail "no man page $p.6.gz"
    done
    for id in org.quorvane.Quorvane org.quorvane.Tessarin; do
        [ -s "$prefix/$data/applications/$id.desktop" ] || fail "no desktop entry $id"
        for n in 16 32 48 64 128 256; do
            file "$prefix/$data/icons/hicolor/${n}x$n/apps/$id.png" | grep -q "PNG image data, $n x $n," ||
                fail "no $n x $n icon $id"
        done
        grep -q "<svg" "$prefix/$data/icons/hicolor/scalable/apps/$id.svg" || fail "no scalable icon $id"
    done
    [ -s "$prefix/$data/metainfo/org.quorvane.Tessarin.metainfo.xml" ] || fail "no metainfo"
    file "$prefix/$data/tessarin/cardd.wav" | grep -q "WAVE audio" || fail "no card sound"
    grep -qxF "ExecStart=$prefix/$games/Quorvane --headless" "$prefix/$units/quorvane.service" ||
        fail "the unit does not start the installed server"
    ;;
versions)
    dir=$1 version=$2
    shift 2
    for p in Quorvane Tessarin $*; do
        out=$(timeout 30 "$dir/$p" --version) || fail "$p --version exited with $?"
        case $out in *"$version"*) ;; *) fail "$p --version printed: $out" ;; esac
    done
    ;;
deb)
    build=$1 out=$2 games=$3
    shift 3
    rm -rf "$out"
    cpack -G DEB --config "$build/CPackConfig.cmake" -B "$out"
    for pair in quorvane:Quorvane tessarin:Tessarin $(for b in $*; do echo tessarin:$b; done); do
        deb=$(ls "$out/${pair%%:*}"_*.deb) || fail "no package ${pair%%:*}"
        dpkg-deb -c "$deb" | grep -q " \./usr/$games/${pair#*:}\$" || fail "$deb lacks ${pair#*:}"
        dpkg-deb -f "$deb" Section | grep -qx games || fail "$deb is not in section games"
        dpkg-deb -f "$deb" Depends | grep -q libqt6core6 || fail "$deb has no library dependencies"
    done
    ;;
*) fail "unknown check $mode" ;;
esac
