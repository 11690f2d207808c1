-- Demo rows of the head-office database, part: stock by lot, series and position and the lot dialogs.

-- Three shelves of the centre deposit, taken into use in the order P01, P03, P02.
UPDATE MA_POSICIONES SET ORDENINGRESO = 1 WHERE IDPOSICION = 'P01'
INSERT INTO MA_POSICIONES (IDPOSICION, IdDeposito, Descripcion, ORDENINGRESO) VALUES ('P02', 'A001', 'Estante 2', 3)
INSERT INTO MA_POSICIONES (IDPOSICION, IdDeposito, Descripcion, ORDENINGRESO) VALUES ('P03', 'A001', 'Estante 3', 2)

-- Where the centre's 120 units of sugar lie: lot L0001 on shelves P01 and P02, lot L0002 on
-- shelves P03 and P02, and 6 units not yet shelved.
INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) VALUES ('A001', 'P01', '000123', 'L0001', 'UN', 30)
INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) VALUES ('A001', 'P02', '000123', 'L0001', 'UN', 20)
INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) VALUES ('A001', 'P03', '000123', 'L0002', 'UN', 40)
INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) VALUES ('A001', 'P02', '000123', 'L0002', 'UN', 24)
INSERT INTO AC_SALDOSLAYOUT (IDDEPOSITO, IDPOSICION, IDARTICULO, NROLOTE, IDUNIDADBASE, SALDO) VALUES ('A001', NULL, '000123', NULL, 'UN', 6)

-- An espresso machine kept by lot and serial number: the centre holds three machines, CF-0001 and
-- CF-0002 of lot L0003 and CF-0003 of lot L0004, on lines 101 to 103 of the opening adjustment.
INSERT INTO MA_ARTICULOS (IDARTICULO, DESCRIPCION, DESCRIPCIONTICKET, MARCA, PRESENTACION, IDUNIDAD, UNIDADESBULTO, HABILITADOCOMPRA, ENGANCHE, IDTIPO, IDRUBRO, IDFAMILIA, CLASIFICACION, IVA, TASAIVA, EXENTO, COSTO, USASERIE, USALOTE, PESABLE, ENVASE, CUENTACONTABLE, CUENTACONTABLEC, CTACON1)
VALUES ('000950', 'Máquina de espresso 15 bar', 'MAQ ESPRESSO', 'Barista', 'caja', 'UN', 1, 'S', '', 'MER', 'ALM', '101', 'B', '1', 21, 0, 9500, 1, 1, 0, '0', '1.1.05', '1.1.05', '1.1.05')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, NroLote, NroSerie, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 101, '01/03/2008', 'A001', '000950', 'Máquina de espresso 15 bar', 'L0003', 'CF-0001', 'UN', 1, 1, 'UN', 6, 9500, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, NroLote, NroSerie, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 102, '01/03/2008', 'A001', '000950', 'Máquina de espresso 15 bar', 'L0003', 'CF-0002', 'UN', 1, 1, 'UN', 6, 9500, 'A001')
INSERT INTO V_MV_STOCK (TC, IdComprobante, IdComplemento, Secuencia, Fecha, IdDeposito, IdArticulo, Descripcion, NroLote, NroSerie, IdUnidad, Cantidad, CantidadUD, IdUnidadBase, IdMotivoStock, Costo, UNEGOCIO) VALUES ('AJP ', '000100000001X', 0, 103, '01/03/2008', 'A001', '000950', 'Máquina de espresso 15 bar', 'L0004', 'CF-0003', 'UN', 1, 1, 'UN', 6, 9500, 'A001')

-- Serial numbers are typed alone, not as serial*quantity.
INSERT INTO TA_CONFIGURACION (CLAVE, VALOR, valoraux) VALUES ('ART_FormatoSerieAsterisco', 'NO', '')
