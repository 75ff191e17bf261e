<?xml version="1.0" encoding="UTF-8"?>
<tileset version="1.8" tiledversion="1.8.2" name="room" tilewidth="32" tileheight="32" tilecount="8" columns="4">
 <image source="tiles.png" trans="ff00ff" width="128" height="64"/>
 <tile id="1">
  <properties>
   <property name="collide" type="bool" value="true"/>
  </properties>
 </tile>
 <tile id="4">
  <properties>
   <property name="attribute" type="int" value="6"/>
   <property name="collide" type="int" value="1"/>
  </properties>
 </tile>
</tileset>
