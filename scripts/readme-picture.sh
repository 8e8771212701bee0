#!/usr/bin/env bash
# Makes the README's picture, docs/main-window.png, with the program itself:
# a handful of clips is generated with ffmpeg, and the first-steps test adds
# them to a new library, tags some, opens the tag as a search and inspects
# one, then saves the main window. Needs a build (scripts/test.sh makes one).
set -euo pipefail
cd "$(dirname "$0")/.."
clips=$(mktemp -d)
trap 'rm -rf "$clips"' EXIT

clip() {  # name, lavfi source
  ffmpeg -loglevel error -y -f lavfi -i "$2" -t 6 -r 25 -pix_fmt yuv420p "$clips/$1"
}
# A sky that darkens upwards over a rippling sea, with a setting sun.
sea='lt(Y,0.62*H)'
sun='lt(hypot(X-400,Y-200-T*4),38)'
wave='sin(Y/2.5+X/70+T*5)'
sunset="geq=r='if($sun,255,if($sea,255-90*Y/H,60+40*$wave))'"
sunset+=":g='if($sun,215,if($sea,130-110*Y/H,50+25*$wave))'"
sunset+=":b='if($sun,90,if($sea,80+120*Y/H,110+30*$wave))'"
# Waves under a pale sky; sand in warm bands; an orange forest.
ocean="geq=r='if(lt(Y,120),170+Y/3,20+20*sin(Y/4+X/50+T*6))':g='if(lt(Y,120),200+Y/4,90+40*sin(Y/4+X/50+T*6))'"
ocean+=":b='if(lt(Y,120),250,140+50*sin(Y/4+X/50+T*6))'"
desert="geq=r='if(lt(Y,130),120,200+30*sin(Y/12+X/90-T))':g='if(lt(Y,130),180,150+25*sin(Y/12+X/90-T))'"
desert+=":b='if(lt(Y,130),240,90+20*sin(Y/12+X/90-T))'"
# Snowy ridges over a dark lake.
ridge='lt(Y,150+40*sin(X/50))'
lake="geq=r='if($ridge,120+Y/3,if(lt(Y,230),70,30+10*sin(Y/3+T*6)))'"
lake+=":g='if($ridge,170+Y/4,if(lt(Y,230),80,70+10*sin(Y/3+T*6)))'"
lake+=":b='if($ridge,240,if(lt(Y,230),90,120+15*sin(Y/3+T*6)))'"
pids=()
clip "Sunset over the Bay.mp4" "color=c=black:s=640x360,$sunset" & pids+=($!)
clip "Mountain Lake.mkv" "color=c=black:s=640x360,$lake" & pids+=($!)
clip "Northern Lights.mkv" "gradients=s=640x360:c0=0x00ff88:c1=0x0b0b2b:c2=0x22ffcc:c3=0x1a0033:nb_colors=4:speed=0.03" & pids+=($!)
clip "Fireworks over the Harbour.mp4" "life=s=640x360:mold=25:r=25:ratio=0.08:life_color=#ffd040:death_color=#802010:mold_color=#101830" & pids+=($!)
clip "Garden Party.avi" "life=s=640x360:mold=10:r=25:ratio=0.3:life_color=#60d040:death_color=#206010:mold_color=#305020" & pids+=($!)
clip "Mandelbrot Dive.mp4" "mandelbrot=s=640x360:rate=25" & pids+=($!)
clip "Snowfall in the Park.mp4" "color=c=0x8090a0:s=640x360,noise=alls=70:allf=t" & pids+=($!)
clip "Weaving Workshop.mkv" "cellauto=s=640x360:rule=30:r=25,format=rgb24,colorchannelmixer=rr=0.9:gg=0.6:bb=0.3" & pids+=($!)
clip "Ocean Waves.mp4" "color=c=black:s=640x360,$ocean" & pids+=($!)
clip "Desert Drive.mkv" "color=c=black:s=640x360,$desert" & pids+=($!)
clip "Autumn Forest.mp4" "gradients=s=640x360:c0=0xd2691e:c1=0x8b2500:c2=0xffb000:c3=0x3a5f0b:nb_colors=4:speed=0.02" & pids+=($!)
clip "City at Night.mkv" "cellauto=s=640x360:rule=150:r=25:random_fill_ratio=0.2,format=rgb24,colorchannelmixer=rr=0.9:gg=0.75:bb=0.2" & pids+=($!)
for pid in "${pids[@]}"; do wait "$pid"; done

mkdir -p docs
QT_QPA_PLATFORM=offscreen RW_README_CLIPS="$clips" RW_SCREENSHOT="$PWD/docs/main-window.png" \
  ./build/tests/test_import --gtest_filter='FirstStepsTest.*'
echo "docs/main-window.png written"
